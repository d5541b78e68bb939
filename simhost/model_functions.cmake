# The simulated host's model side: the toolkit functions that answer from the model file's world.
target_sources(vistrel_simhost PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/functions_assembly.cpp
  ${CMAKE_CURRENT_LIST_DIR}/functions_geometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/functions_interface_data.cpp
  ${CMAKE_CURRENT_LIST_DIR}/functions_models.cpp
  ${CMAKE_CURRENT_LIST_DIR}/model_handles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/model_records.cpp
)
