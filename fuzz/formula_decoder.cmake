kestrun_fuzz(formula_decoder SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/formula_decoder.cpp DEPS kestrun_xls_formula)
