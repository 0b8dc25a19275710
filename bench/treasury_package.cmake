kestrun_bench(treasury_package SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/treasury_package.cpp
  DEPS kestrun_payments kestrun_resources kestrun_sampledata)
