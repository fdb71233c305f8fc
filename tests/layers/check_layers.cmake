# Builds the probe that includes <QWidget> once against each logic library,
# where it must fail for want of the header, and once against the widgets
# library, where it must build (so that a failure means what it says).
# A header named through its module (<QtWidgets/QLabel>) would still be
# found, so the logic folders' sources are searched for such names too.
#   cmake -DBUILD_DIR=... -DLOGIC="a;b" -DWIDGETS=vokar_widgets
#         -DLOGIC_FOLDERS="/src/core;..." -P check_layers.cmake
set(failures "")
foreach(folder IN LISTS LOGIC_FOLDERS)
  file(GLOB_RECURSE sources "${folder}/*.h" "${folder}/*.cpp")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" lines REGEX "#include *[<\"](QtWidgets/|widgets/|app/)")
    if(lines)
      list(APPEND failures "${source}: ${lines}")
    endif()
  endforeach()
endforeach()
foreach(library IN LISTS LOGIC)
  execute_process(
    COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target layer_probe_${library}
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(status EQUAL 0)
    list(APPEND failures "${library}: a source including <QWidget> compiled")
  elseif(NOT output MATCHES "QWidget[^\n]*(No such file|not found)")
    list(APPEND failures "${library}: the probe failed for another reason:\n${output}")
  else()
    message(STATUS "${library}: no widget header to be had")
  endif()
endforeach()
execute_process(
  COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target layer_probe_${WIDGETS}
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  list(APPEND failures "${WIDGETS}: the probe should build there:\n${output}")
else()
  message(STATUS "${WIDGETS}: widgets available")
endif()
if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "${text}")
endif()
