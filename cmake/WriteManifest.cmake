# cmake -DIDL=... -DCLASSES=... -DVERSION=90.0.B.0 -DARCH=x86|amd64 -DOUT=... -P WriteManifest.cmake
# Writes the side-by-side assembly manifest of Wrang.dll from the two files the DLL itself is built
# from: the type library's source (library, coclass and interface identifiers) and the table of
# creatable classes (names and threading models, which also drive the class factories and
# registration). A class the table names but the type library does not mark creatable, or the other
# way round, stops the build: the manifest, the type library and the registration must agree.
file(READ "${IDL}" idl)
string(REGEX REPLACE "//[^\n]*" "" idl "${idl}")
set(proxy_stub "{00020424-0000-0000-C000-000000000046}")  # the type library marshaler of the system

# Every "[attributes] library|interface|coclass Name" of the type library.
string(REGEX MATCHALL "\\[[^][]*\\][ \t\r\n]*(library|interface|coclass)[ \t\r\n]+[A-Za-z_0-9]+" blocks "${idl}")
set(interfaces "")
foreach(block IN LISTS blocks)
  string(REGEX MATCH "uuid\\(([0-9A-Fa-f-]+)\\)" _ "${block}")
  string(TOUPPER "{${CMAKE_MATCH_1}}" uuid)
  string(REGEX MATCH "(library|interface|coclass)[ \t\r\n]+([A-Za-z_0-9]+)$" _ "${block}")
  set(kind ${CMAKE_MATCH_1})
  set(name ${CMAKE_MATCH_2})
  if(kind STREQUAL library)
    set(library ${name})
    set(tlbid ${uuid})
    string(REGEX MATCH "version\\(([0-9]+\\.[0-9]+)\\)" _ "${block}")
    set(tlb_version ${CMAKE_MATCH_1})
  elseif(kind STREQUAL interface AND block MATCHES "(dual|oleautomation)")
    string(APPEND interfaces "  <comInterfaceExternalProxyStub name=\"${name}\" iid=\"${uuid}\" "
                             "proxyStubClsid32=\"${proxy_stub}\" tlbid=\"@TLBID@\"/>\n")
  elseif(kind STREQUAL coclass AND NOT block MATCHES "noncreatable")
    list(APPEND idl_creatable ${name})
    set(clsid_${name} ${uuid})
  endif()
endforeach()
if(NOT tlbid OR NOT tlb_version OR NOT interfaces)
  message(FATAL_ERROR "${IDL}: no library with identifier and version, or no dispatch interface")
endif()

file(STRINGS "${CLASSES}" rows REGEX "^WRANG_CREATABLE_CLASS\\(")
set(classes "")
foreach(row IN LISTS rows)
  string(REGEX MATCH "^WRANG_CREATABLE_CLASS\\(([A-Za-z_0-9]+), *[A-Za-z_0-9]+, *([A-Za-z]+), *\"([^\"]*)\"\\)" _ "${row}")
  set(name ${CMAKE_MATCH_1})
  set(threading ${CMAKE_MATCH_2})
  list(APPEND table_creatable ${name})
  string(REPLACE "&" "&amp;" description "${CMAKE_MATCH_3}")
  string(REPLACE "<" "&lt;" description "${description}")
  string(APPEND classes "    <comClass clsid=\"${clsid_${name}}\" progid=\"${library}.${name}\" "
                        "threadingModel=\"${threading}\" tlbid=\"@TLBID@\" description=\"${description}\"/>\n")
endforeach()
list(SORT idl_creatable)
list(SORT table_creatable)
if(NOT idl_creatable STREQUAL table_creatable)
  message(FATAL_ERROR "Creatable classes disagree: the type library has '${idl_creatable}', "
                      "${CLASSES} has '${table_creatable}'")
endif()
string(REGEX MATCH "^[0-9]+\\.[0-9]+" version_prefix "${VERSION}")
if(NOT version_prefix STREQUAL tlb_version)
  message(FATAL_ERROR "Assembly version ${VERSION} is not that of the type library (${tlb_version})")
endif()

string(REPLACE "@TLBID@" "${tlbid}" body "  <file name=\"${library}.dll\">
    <typelib tlbid=\"${tlbid}\" version=\"${tlb_version}\" helpdir=\"\"/>
${classes}  </file>
${interfaces}")
file(WRITE "${OUT}.new" "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>
<!-- ${library} ${tlb_version} (${ARCH}) for use without registration; written by the build. -->
<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">
  <assemblyIdentity type=\"win32\" name=\"${NAME}\" version=\"${VERSION}\" processorArchitecture=\"${ARCH}\"/>
${body}</assembly>
")
file(RENAME "${OUT}.new" "${OUT}")
