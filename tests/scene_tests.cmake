# Scene description library: the stacks, capture buffers, output primitives, values, binary
# array blocks and the scene file writer with its operations grouped by block kind.
foreach(test
    writer_stacks_test
    shader_buffer_test
    output_primitives_test
    scene_value_text_test
    scene_binary_array_test
    scene_api_file_test
    scene_api_file_blocks_test
    scene_api_file_shader_test
    scene_api_file_array_test)
  vistrel_add_test(${test} SOURCES ${test}.cpp LIBS vistrel_scene)
endforeach()
