# The identities the component's IDL gives its type library, class, interface and record, read
# from it at configure time so that no build file, script or manifest holds a copy of its own:
# Z5_LIBID, Z5_CLSID, Z5_IID and Z5_WINDOWSTAY_UUID, each as {XXXXXXXX-XXXX-...} in upper case.
set(z5_idl ${PROJECT_SOURCE_DIR}/component/z5calcD.idl)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${z5_idl})
file(READ ${z5_idl} z5_idl_text)

#   z5_idl_uuid(VAR DECLARATION): the uuid in the attributes just before DECLARATION.
function(z5_idl_uuid var declaration)
  string(REGEX MATCH "uuid\\(([0-9A-Fa-f-]+)\\)[^]]*\\][ \t\r\n]*${declaration}" found
         "${z5_idl_text}")
  if(NOT found)
    message(FATAL_ERROR "z5calcD.idl: no uuid(...) before ${declaration}")
  endif()
  string(TOUPPER "${CMAKE_MATCH_1}" id)
  set(${var} "{${id}}" PARENT_SCOPE)
endfunction()

z5_idl_uuid(Z5_LIBID "library z5calcD")
z5_idl_uuid(Z5_CLSID "coclass zelcalc")
z5_idl_uuid(Z5_IID "interface _zelcalc :")
z5_idl_uuid(Z5_WINDOWSTAY_UUID "typedef struct windowstay")
