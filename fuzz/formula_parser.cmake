kestrun_fuzz(formula_parser SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/formula_parser.cpp DEPS kestrun_xls_formula)
