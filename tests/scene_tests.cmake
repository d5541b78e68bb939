# Scene description library: the stacks, capture buffers, output primitives, values, binary
# array blocks and the scene file writer with its operations grouped by block kind.
foreach(test
    writer_stacks_test
    shader_buffer_test
    output_primitives_test
    scene_value_text_test
    scene_binary_array_test)
  vistrel_add_test(${test} SOURCES ${test}.cpp LIBS vistrel_scene)
endforeach()
