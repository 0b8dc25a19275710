# Run with cmake -P: a templates folder in a checkout under ~/src/kestrun
# keeps every template and loses only the editable sources and READMEs.
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/TemplateFiles.cmake)

set(dir ${SCRATCH}/home/src/kestrun/resources/templates)
file(REMOVE_RECURSE ${SCRATCH})
foreach(f rtf/Stabilire.rtf Stat.xls xls/Empty.xls src/Stat.xls.fods xls/README.md Other.fods)
  file(WRITE ${dir}/${f} "x")
endforeach()

kestrun_template_files(${dir} got)
list(TRANSFORM got REPLACE "^${dir}/" "")
set(want Stat.xls rtf/Stabilire.rtf xls/Empty.xls)
file(REMOVE_RECURSE ${SCRATCH})
if(NOT got STREQUAL want)
  message(FATAL_ERROR "template list: got [${got}], want [${want}]")
endif()
