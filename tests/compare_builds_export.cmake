# Exports the sample model with the Linux build's simulated host and plug-in, and with the
# Windows build's under wine, and checks that the two scene files are the same byte for byte.
#   cmake -DNATIVE_HOST=<simhost> -DNATIVE_PLUGIN=<libvistrel_plugin.so>
#         -DWINDOWS_HOST=<simhost.exe> -DWINDOWS_PLUGIN=<vistrel_plugin.dll> -DWINE=<wine>
#         -DMODEL=<model.json> -DTEXT=<text folder> -DWORK=<scratch folder>
#         -P compare_builds_export.cmake
foreach(file NATIVE_HOST NATIVE_PLUGIN)
  if(NOT EXISTS "${${file}}")
    message(FATAL_ERROR "No Linux build to compare with: ${${file}} is missing. Build it first "
                        "(tools/test.sh windows does; or tools/test.sh linux), or configure this "
                        "build with -DVISTREL_NATIVE_BUILD_DIR=<a Linux build of this tree>.")
  endif()
endforeach()

# export(<name> <command prefix>...): runs "Vistrel Export" in a fresh folder WORK/<name>, whose
# scene file is WORK/<name>/sample.vsb. The paths are absolute POSIX paths, which wine maps to
# drive Z:.
function(export name)
  set(folder ${WORK}/${name})
  file(REMOVE_RECURSE ${folder})
  file(MAKE_DIRECTORY ${folder})
  execute_process(COMMAND ${ARGN} --text ${TEXT} --model ${MODEL} --save-as ${folder}/sample.vsb
                          "Vistrel Export"
                  WORKING_DIRECTORY ${folder} RESULT_VARIABLE status
                  OUTPUT_FILE ${folder}/output.txt ERROR_FILE ${folder}/errors.txt)
  set(size 0)
  if(EXISTS ${folder}/sample.vsb)
    file(SIZE ${folder}/sample.vsb size)
  endif()
  if(NOT status EQUAL 0 OR size EQUAL 0)
    file(READ ${folder}/errors.txt errors)
    message(FATAL_ERROR "The ${name} export failed (exit ${status}): ${errors}")
  endif()
  message(STATUS "${name}: ${folder}/sample.vsb, ${size} bytes")
endfunction()

export(linux ${NATIVE_HOST} --plugin ${NATIVE_PLUGIN})
export(windows ${WINE} ${WINDOWS_HOST} --plugin ${WINDOWS_PLUGIN})

execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/linux/sample.vsb
                        ${WORK}/windows/sample.vsb RESULT_VARIABLE differ)
if(differ)
  execute_process(COMMAND cmp ${WORK}/linux/sample.vsb ${WORK}/windows/sample.vsb
                  OUTPUT_VARIABLE where ERROR_VARIABLE where)
  message(FATAL_ERROR "The Linux and Windows exports differ: ${where}")
endif()
message(STATUS "The Linux and Windows exports are the same, byte for byte")
