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
set(lists "The list view has 4 rows of 3 columns:.*readme.txt \\| 12 KB \\| Text.*README.TXT \\| 3 KB \\| Text")
set(lists "${lists}.*The first column holds 4 names; the first is readme.txt")
set(lists "${lists}.*Selected row: 1; found README.TXT from row 1 on: row 3")
set(lists "${lists}.*The tree holds 15 items; selected: Fruits.Apple.Green.*Fruits: Apple, Banana, Twin, Twin")
set(lists "${lists}.*Fruits.Apple: Red, Green \\(expanded: [Tt]rue\\).*Fruits.Cherry: error 5, exists: [Ff]alse")
set(lists "${lists}.*Selected Plums: [Tt]rue; selected rows now: 2.*Checked Apples: [Tt]rue; Pears checked: [Tt]rue")
set(lists "${lists}.*Users there before: [Ff]alse.*Public: [Tt]rue; Drive C.Users holds Public, Guest")
wrang_example(lists.vbs "${lists}")
wrang_example(lists.js "${lists}")

# The main job of scripts/demo.sh.
wrang_example(demo.vbs "Edit text read back: Typed by Wrang.*Notepad now shows: hello from wrang")

# The package: unpacked into a fresh Wine prefix, registered per user by register.cmd, used by a
# script and an example, unregistered. Needs the other leg's build (scripts/test.sh builds both).
add_test(NAME package
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/package-test.sh ${CMAKE_BINARY_DIR} ${WRANG_ARCH} ${PROJECT_SOURCE_DIR})
set_tests_properties(package PROPERTIES
  ENVIRONMENT "WRANG_WINE=${CMAKE_CROSSCOMPILING_EMULATOR}"
  RESOURCE_LOCK desktop TIMEOUT 240 SKIP_RETURN_CODE 77
  PASS_REGULAR_EXPRESSION "ALL PASSED" FAIL_REGULAR_EXPRESSION "FAIL:")
