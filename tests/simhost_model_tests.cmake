# The simulated host's model: geometry, shapes, the model file and its examples.
vistrel_add_test(sim_bspline_test SOURCES sim_bspline_test.cpp LIBS vistrel_simhost_model)
vistrel_add_test(sim_tessellation_test SOURCES sim_tessellation_test.cpp LIBS vistrel_simhost_model)
