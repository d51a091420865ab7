drvsweep_unit_test(sim_inf_test ${CMAKE_CURRENT_LIST_DIR}/sim_inf_test.cpp)
