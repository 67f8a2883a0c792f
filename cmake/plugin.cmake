# The Windows plug-in: every source of the DLL goes into one object library,
# which the DLL and the unit tests share.
enable_language(RC)

add_library(quorlix_objects OBJECT)
target_include_directories(quorlix_objects PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_definitions(quorlix_objects PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN
  $<$<BOOL:${QUORLIX_LEGACY}>:QUORLIX_LEGACY=1>)
target_compile_options(quorlix_objects PRIVATE -fno-exceptions -fno-rtti)
target_link_libraries(quorlix_objects PUBLIC quorlix_ppd PRIVATE quorlix_warnings)

add_subdirectory(core)
add_subdirectory(platform)
add_subdirectory(docui)
add_subdirectory(layout)

if(QUORLIX_LEGACY)
  set(QUORLIX_SUBSYSTEM 5.2)
else()
  set(QUORLIX_SUBSYSTEM 6.0)
endif()

# Link flags shared by the DLL and every test program: static runtime, so
# that nothing but system DLLs is imported.
set(QUORLIX_WINDOWS_LINK_OPTIONS -static -static-libgcc -static-libstdc++
  -Wl,--major-os-version,6 -Wl,--minor-os-version,1
  -Wl,--dynamicbase -Wl,--nxcompat)
if(QUORLIX_ARCH STREQUAL "x64")
  list(APPEND QUORLIX_WINDOWS_LINK_OPTIONS -Wl,--disable-high-entropy-va)
endif()

add_library(quorlix SHARED
  $<TARGET_OBJECTS:quorlix_objects>
  $<TARGET_OBJECTS:quorlix_ppd>
  res/quorlix.rc
  res/quorlix-${QUORLIX_ARCH}.def)
set_target_properties(quorlix PROPERTIES PREFIX "" OUTPUT_NAME quorlix
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_include_directories(quorlix PRIVATE ${PROJECT_SOURCE_DIR}/res ${CMAKE_BINARY_DIR}/res)
target_link_options(quorlix PRIVATE ${QUORLIX_WINDOWS_LINK_OPTIONS}
  -Wl,--subsystem,windows:${QUORLIX_SUBSYSTEM} -s)
target_link_libraries(quorlix PRIVATE gdi32 user32 winspool kernel32)
# windres reads the included pieces itself; rebuild the resources when any changes.
file(GLOB QUORLIX_RC_INPUTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/res/*)
set_source_files_properties(res/quorlix.rc PROPERTIES OBJECT_DEPENDS "${QUORLIX_RC_INPUTS}")
set_property(TARGET quorlix APPEND PROPERTY LINK_DEPENDS
  ${PROJECT_SOURCE_DIR}/res/quorlix-${QUORLIX_ARCH}.def)

# Resources made at build time in ${CMAKE_BINARY_DIR}/res: the Layout page's
# icons, drawn by the project's own generator, and the manifest with this
# build's processor architecture. The dialog font depends on the
# configuration, so the resource compiler sees QUORLIX_LEGACY too.
set(QUORLIX_GENERATED_RES ${CMAKE_BINARY_DIR}/res)
set(QUORLIX_ICON_IDS 12001 12011 12012 12013 12014 12015 12016
  12021 12022 12023 12024 12025 12026 12027 12028 12029 12030)
set(QUORLIX_ICON_FILES)
foreach(id IN LISTS QUORLIX_ICON_IDS)
  list(APPEND QUORLIX_ICON_FILES ${QUORLIX_GENERATED_RES}/icon_${id}.ico)
endforeach()
add_custom_command(OUTPUT ${QUORLIX_ICON_FILES}
  COMMAND python3 ${PROJECT_SOURCE_DIR}/tools/artgen/iconsgen.py ${QUORLIX_GENERATED_RES}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/artgen/iconsgen.py
  COMMENT "Drawing the Layout page icons")
add_custom_target(quorlix_icons DEPENDS ${QUORLIX_ICON_FILES})

if(QUORLIX_ARCH STREQUAL "x64")
  set(QUORLIX_MANIFEST_ARCH AMD64)
else()
  set(QUORLIX_MANIFEST_ARCH x86)
endif()
configure_file(${PROJECT_SOURCE_DIR}/res/quorlix.manifest.in
  ${QUORLIX_GENERATED_RES}/quorlix.manifest @ONLY)

set_property(SOURCE res/quorlix.rc APPEND PROPERTY OBJECT_DEPENDS
  ${QUORLIX_ICON_FILES} ${QUORLIX_GENERATED_RES}/quorlix.manifest)
if(QUORLIX_LEGACY)
  set_property(SOURCE res/quorlix.rc APPEND PROPERTY COMPILE_DEFINITIONS QUORLIX_LEGACY=1)
endif()
add_dependencies(quorlix quorlix_icons)
