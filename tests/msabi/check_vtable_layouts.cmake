# Holds the plug-in's interface headers and the stand-in library's tables to the layout that
# Microsoft's compiler gives the renderer's own declarations of the live-link classes.
#
#   cmake -DCLANG=<clang++> -DSOURCE_DIR=<project root> -P check_vtable_layouts.cmake
#
# clang lays out renderer_interfaces.cpp as Microsoft's compiler does (target
# i686-pc-windows-msvc: one slot, the scalar deleting destructor, for a virtual destructor) and
# plugin_interfaces.cpp as gcc and mingw do (the Itanium C++ ABI of our builds, where a virtual
# destructor would take two slots), and prints both layouts. Place by place, each class must
# hold the same operation with the same answer and parameters in all three. The layouts are
# computed by code generation only, so the source is compiled to IR that goes nowhere.
if(NOT CLANG)
  message(FATAL_ERROR "No clang++: it lays out the renderer's classes as Microsoft's compiler "
                      "does. tools/install-deps.sh installs it.")
endif()

# dump_layouts(out source clang-args...): the layouts clang prints for source.
function(dump_layouts out source)
  execute_process(
    COMMAND ${CLANG} -std=c++17 ${ARGN} -S -emit-llvm -o /dev/null -Xclang -fdump-vtable-layouts
            ${CMAKE_CURRENT_LIST_DIR}/${source}
    OUTPUT_VARIABLE dump ERROR_VARIABLE errors RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${CLANG} cannot compile ${source}:\n${errors}")
  endif()
  set(${out} "${dump}" PARENT_SCOPE)
endfunction()

# places(out dump class): the operation at each place of class, place 0 first, as its answer,
# name and parameters without the class. std::uint32_t reads as the unsigned int it is, and
# Microsoft's scalar deleting destructor as the operation our headers declare for its slot.
function(places out dump class)
  if(NOT dump MATCHES "V[F]?Table indices for '${class}' \\(([0-9]+) entries\\)\\.\n(( *[0-9]+ \\| [^\n]*\n)*)")
    message(FATAL_ERROR "clang printed no layout of ${class}")
  endif()
  set(count ${CMAKE_MATCH_1})
  string(REGEX MATCHALL "[^\n]+" lines "${CMAKE_MATCH_2}")
  foreach(line IN LISTS lines)
    string(REGEX MATCH "^ *([0-9]+) \\| (.*)$" ignored "${line}")
    set(place ${CMAKE_MATCH_1})
    set(operation "${CMAKE_MATCH_2}")
    string(REGEX REPLACE "[A-Za-z0-9_]+::([A-Za-z0-9_~]+\\()" "\\1" operation "${operation}")
    string(REGEX REPLACE "^~[A-Za-z0-9_]+\\(\\) \\[scalar deleting\\]$"
                         "void DeletingDestructor(unsigned int)" operation "${operation}")
    string(REPLACE "std::uint32_t" "unsigned int" operation "${operation}")
    set(slot_${place} "${operation}")
  endforeach()
  set(result "")
  math(EXPR last "${count} - 1")
  foreach(place RANGE ${last})
    if(NOT DEFINED slot_${place})
      message(FATAL_ERROR "clang's layout of ${class} has nothing at place ${place}")
    endif()
    list(APPEND result "${slot_${place}}")
  endforeach()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

dump_layouts(maker renderer_interfaces.cpp --target=i686-pc-windows-msvc)
dump_layouts(ours plugin_interfaces.cpp -I${SOURCE_DIR})

set(failures "")
# compare(class tables-class): the renderer's class against our header's and the tables'.
function(compare class tables_class)
  places(expected "${maker}" ${class})
  places(header "${ours}" ${class})
  places(tables "${ours}" ${tables_class})
  list(LENGTH expected count)
  foreach(what header tables)
    list(LENGTH ${what} ours_count)
    if(NOT ours_count EQUAL count)
      string(APPEND failures "${class}: ${count} places in the renderer's table, ${ours_count} in our ${what}\n")
    endif()
    math(EXPR last "${count} - 1")
    foreach(place RANGE ${last})
      list(GET expected ${place} theirs)
      set(mine "(nothing)")
      if(place LESS ours_count)
        list(GET ${what} ${place} mine)
      endif()
      if(NOT mine STREQUAL theirs)
        string(APPEND failures "${class} place ${place}: '${theirs}' in the renderer's library, '${mine}' in our ${what}\n")
      endif()
    endforeach()
  endforeach()
  set(failures "${failures}" PARENT_SCOPE)
endfunction()
compare(trvScene_api ScenePlaces)
compare(LiveLinkFactory FactoryPlaces)
compare(InstanceLister ListerPlaces)

if(failures)
  message(FATAL_ERROR "The renderer's library lays out its classes otherwise:\n${failures}")
endif()
message(STATUS "trvScene_api, LiveLinkFactory and InstanceLister: every place as the renderer's library has it")
