# The simulated host's model: geometry, shapes and the model file.
vistrel_add_test(sim_bspline_test SOURCES sim_bspline_test.cpp LIBS vistrel_simhost_model)
vistrel_add_test(sim_tessellation_test SOURCES sim_tessellation_test.cpp LIBS vistrel_simhost_model)
vistrel_add_test(sim_model_file_test SOURCES sim_model_file_test.cpp LIBS vistrel_simhost_model)
vistrel_add_test(sim_shapes_test SOURCES sim_shapes_test.cpp LIBS vistrel_simhost_model)
vistrel_add_test(sim_outline_test SOURCES sim_outline_test.cpp LIBS vistrel_simhost_model)

# The model's toolkit functions, called as the plug-in calls them.
vistrel_add_test(sim_functions_models_test SOURCES sim_functions_models_test.cpp LIBS vistrel_simhost)
vistrel_add_test(sim_functions_assembly_test SOURCES sim_functions_assembly_test.cpp LIBS vistrel_simhost)
vistrel_add_test(sim_functions_geometry_test SOURCES sim_functions_geometry_test.cpp LIBS vistrel_simhost)
vistrel_add_test(sim_functions_interface_data_test SOURCES sim_functions_interface_data_test.cpp
                 LIBS vistrel_simhost)
