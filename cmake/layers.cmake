# The layers of docs/ARCHITECTURE.md as library targets.
#
# qel_layer_check(lib): a program that links every object of lib (not only
# those something asks for) with nothing but the libraries lib itself links.
# A call from lib into a layer it may not use is then an undefined symbol and
# fails the build, which a static library alone would not notice.
function(qel_layer_check lib)
  add_executable(${lib}_layer_check ${CMAKE_SOURCE_DIR}/cmake/layer_check.cpp)
  target_link_libraries(${lib}_layer_check PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${lib}>")
endfunction()

# qel_window_subsystem(name): name/ui/ as the library qel_<name>_ui, on the
# shell and the cores alone (never a sibling subsystem).
function(qel_window_subsystem name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${name}/ui/*.cpp ${CMAKE_SOURCE_DIR}/${name}/ui/*.h)
  add_library(qel_${name}_ui STATIC ${sources})
  target_link_libraries(qel_${name}_ui PUBLIC qel_shell)
  if(QEL_PCH)
    target_precompile_headers(qel_${name}_ui REUSE_FROM qel_shell)
  endif()
  qel_layer_check(qel_${name}_ui)
endfunction()
