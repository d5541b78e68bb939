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
  set(heading "V[F]?Table indices for '${class}' \\(([0-9]+) entries\\)\\.\n")
  if(NOT dump MATCHES "${heading}(( *[0-9]+ \\| [^\n]*\n)*)")
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
dump_layouts(ours_dump plugin_interfaces.cpp -I${SOURCE_DIR})

# compare(class tables-class): the renderer's class against our header's and our tables'.
function(compare class tables_class)
  places(theirs "${maker}" ${class})
  set(names ${class} ${tables_class})
  set(sources header tables)
  foreach(name what IN ZIP_LISTS names sources)
    places(ours "${ours_dump}" ${name})
    list(LENGTH theirs count)
    list(LENGTH ours ours_count)
    if(ours_count GREATER count)
      set(count ${ours_count})
    endif()
    math(EXPR last "${count} - 1")
    foreach(place RANGE ${last})
      foreach(side theirs ours)
        set(${side}_operation "(nothing)")
        list(LENGTH ${side} length)
        if(place LESS length)
          list(GET ${side} ${place} ${side}_operation)
        endif()
      endforeach()
      if(NOT ours_operation STREQUAL theirs_operation)
        string(APPEND failures "${class} place ${place}: '${theirs_operation}' in the renderer's "
                               "library, '${ours_operation}' in our ${what}\n")
      endif()
    endforeach()
  endforeach()
  set(failures "${failures}" PARENT_SCOPE)
endfunction()

set(failures "")
compare(trvScene_api ScenePlaces)
compare(LiveLinkFactory FactoryPlaces)
compare(InstanceLister ListerPlaces)
if(failures)
  message(FATAL_ERROR "The renderer's library lays out its classes otherwise:\n${failures}")
endif()
message(STATUS "trvScene_api, LiveLinkFactory, InstanceLister: every place as the renderer's")
