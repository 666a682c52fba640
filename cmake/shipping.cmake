# The version as the product has always shown it: 5.0.226 is "5.00.0226".
set(z5_minor "00${PROJECT_VERSION_MINOR}")
set(z5_patch "0000${PROJECT_VERSION_PATCH}")
string(LENGTH "${z5_minor}" z5_minor_length)
string(LENGTH "${z5_patch}" patch_length)
math(EXPR minor_start "${z5_minor_length} - 2")
math(EXPR patch_start "${patch_length} - 4")
string(SUBSTRING "${z5_minor}" ${minor_start} 2 z5_minor)
string(SUBSTRING "${z5_patch}" ${patch_start} 4 z5_patch)
set(Z5_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${z5_minor}.${z5_patch}")

# Binaries that go into the package. Each gets a version resource; a release build moves its
# debug information out to <file>.debug beside it (kept for crash analysis, never packaged)
# and leaves the binary itself stripped.
#   z5_shipped_binary(TARGET "file description")
function(z5_shipped_binary target description)
  get_target_property(type ${target} TYPE)
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  if(type STREQUAL "SHARED_LIBRARY")
    set(ship_file_type VFT_DLL)
    set(ship_file_name ${name}.dll)
  else()
    set(ship_file_type VFT_APP)
    set(ship_file_name ${name}.exe)
  endif()
  set(ship_description ${description})
  set(ship_internal_name ${name})
  set(ship_version_text ${Z5_VERSION_TEXT})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})

  if(CMAKE_BUILD_TYPE STREQUAL "Release")
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
      COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug
              $<TARGET_FILE:${target}>
      VERBATIM)
  endif()
endfunction()
