# The user examples (examples/*.vbs and *.js) run as tests, so that none of them rots. They are run
# as users run them, without the test prelude; each prints what it does, and the test checks the
# lines that show it worked, in order. The applications named on an example's "needs:" line are
# started by the same runner as the script tests.
set(WRANG_EXAMPLES_DIR ${PROJECT_SOURCE_DIR}/examples)
function(wrang_example file expected)
  add_test(NAME example.${file}
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/scripts/run-script.sh ${WRANG_EXAMPLES_DIR}/${file})
  set_tests_properties(example.${file} PROPERTIES
    ENVIRONMENT "WRANG_WINE=${CMAKE_CROSSCOMPILING_EMULATOR}"
    FIXTURES_REQUIRED registered RESOURCE_LOCK desktop TIMEOUT 180
    PASS_REGULAR_EXPRESSION "${expected}")
endfunction()

set(found "Found notepad: class Notepad.*  Edit \\(hWnd [0-9]+, parent [0-9]+\\)")
set(found "${found}.*top-level window is notepad: [Tt]rue.*does not exist: hWnd 0, IsWindow [Ff]alse")
wrang_example(find-and-walk.vbs "${found}")
wrang_example(find-and-walk.js "${found}")

set(attributes "Moved and resized to 40,30, 480 x 320.*Edit box text: Written by the attributes example")
set(attributes "${attributes}.*Hidden: visible [Ff]alse.*Minimised: state 6.*Restored: state 1, visible [Tt]rue")
wrang_example(attributes.vbs "${attributes}")
wrang_example(attributes.js "${attributes}")

wrang_example(messages.vbs
  "WM_SETTEXT answered 1.*WM_GETTEXT copied 12 characters: Hello, world.*into the variable: 12")
wrang_example(messages.js
  "WM_SETTEXT answered 1.*WM_GETTEXTLENGTH answered 12.*EM_GETSEL answered 786439: selection from 7 to 12")

set(keys "SendText returned [Tt]rue.*Notepad shows: posted keys 42")
set(keys "${keys}.*After VBSendKeys: posted keys 42Xyz.*\\{NOSUCHKEY\\}\" raised error 5")
wrang_example(keys.vbs "${keys}")
wrang_example(keys.js "${keys}")

# Either what the platform allows: all of it where menus are shared between processes, the menu
# bar's handle and the plain statement of the limit under Wine.
set(menus "menu bar: hMenu [1-9][0-9]*, SC_CLOSE = 61536.*(cannot be used from this process|Restored: )")
wrang_example(menus.vbs "${menus}")
wrang_example(menus.js "${menus}")

set(tray "The tray's 3 buttons: \\[Volume\\] \\[Network\\] \\[Clock\\]")
set(tray "${tray}.*Second button hidden: \\[Volume\\] \\(Network hidden\\) \\[Clock\\]")
set(tray "${tray}.*Shown again: \\[Volume\\] \\[Network\\] \\[Clock\\]")
set(tray "${tray}.*moved right: \\[Volume\\] \\[Clock\\] \\[Network\\].*moved back: \\[Volume\\] \\[Network\\] \\[Clock\\]")
wrang_example(tray.vbs "${tray}")
wrang_example(tray.js "${tray}")

# Started by the script itself, waited for, brought to the front, typed into, closed and waited for.
set(watch "Notepad is there: .*Waiting for input: [Tt]rue, visible, enabled and answering: [Tt]rue")
set(watch "${watch}.*In front: [Tt]rue.*Notepad shows: Typed by the watcher.*Text length: 20.*Notepad closed: [Tt]rue")
wrang_example(watch.vbs "${watch}")
wrang_example(watch.js "${watch}")
# Started by the script, typed into exactly, closed, its question answered with a click. ClickMenu
# chooses the entry where menus are shared between processes, and says under Wine that they are not.
set(typing "Typed: [Tt]rue.*Notepad shows: This is some text\\.")
set(typing "${typing}.*(Chose Edit.Select All: [Tt]rue|ClickMenu: error 5: .*another process)")
set(typing "${typing}.*clicked No: [Tt]rue.*Notepad closed: [Tt]rue")
wrang_example(type-and-click.vbs "${typing}")
wrang_example(type-and-click.js "${typing}")
set(lists "The list view has 4 rows of 3 columns:.*readme.txt \\| 12 KB \\| Text.*README.TXT \\| 3 KB \\| Text")
set(lists "${lists}.*The first column holds 4 names; the first is readme.txt")
set(lists "${lists}.*Selected row: 1; found README.TXT from row 1 on: row 3")
set(lists "${lists}.*The tree holds 15 items; selected: Fruits.Apple.Green.*Fruits: Apple, Banana, Twin, Twin")
set(lists "${lists}.*Fruits.Apple: Red, Green \\(expanded: [Tt]rue\\).*Fruits.Cherry: error 5, exists: [Ff]alse")
set(lists "${lists}.*Selected Plums: [Tt]rue; selected rows now: 2.*Checked Apples: [Tt]rue; Pears checked: [Tt]rue")
set(lists "${lists}.*Users there before: [Ff]alse.*Public: [Tt]rue; Drive C.Users holds Public, Guest")
wrang_example(lists.vbs "${lists}")
wrang_example(lists.js "${lists}")

# Started by the script itself, found by a caption pattern and its process, a control below it.
set(find "Found: .* - Notepad \\(class Notepad, process [1-9][0-9]*\\).*Its program: .*[Nn]otepad\\.exe")
set(find "${find}.*Top-level windows of that process: [1-9].*Its edit control: hWnd [1-9][0-9]*, control identifier")
set(find "${find}.*A bad pattern: error 5 \\(.*regular expression.*Notepad closed: [Tt]rue")
wrang_example(find.vbs "${find}")
wrang_example(find.js "${find}")

# The main job of scripts/demo.sh.
set(demo "Edit text read back: Typed by Wrang.*After TypeText, notepad shows: This is some text\\. \\[x\\(y\\)z\\] \\{ENTER\\}")
wrang_example(demo.vbs "${demo}.*After SendText \\(published behaviour\\), notepad shows: this is some text")

# The package: unpacked into a fresh Wine prefix, registered per user by register.cmd, used by a
# script and an example, unregistered. Needs the other leg's build (scripts/test.sh builds both).
add_test(NAME package
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/package-test.sh ${CMAKE_BINARY_DIR} ${WRANG_ARCH} ${PROJECT_SOURCE_DIR})
set_tests_properties(package PROPERTIES
  ENVIRONMENT "WRANG_WINE=${CMAKE_CROSSCOMPILING_EMULATOR}"
  RESOURCE_LOCK desktop TIMEOUT 240 SKIP_RETURN_CODE 77
  PASS_REGULAR_EXPRESSION "ALL PASSED" FAIL_REGULAR_EXPRESSION "FAIL:")
