# kestrun_template_files(<dir> <out-var>)
# The template files below <dir> that the program carries: every file but the
# editable sources the workbooks are built from (the src folder, *.fods) and
# READMEs. The rules look only at the path below <dir>, so a checkout that
# lives under a folder named src (~/src/kestrun) still carries its templates.
function(kestrun_template_files dir out)
  # A new template reconfigures the build; script mode (the test) cannot ask that.
  set(watch)
  if(NOT CMAKE_SCRIPT_MODE_FILE)
    set(watch CONFIGURE_DEPENDS)
  endif()
  file(GLOB_RECURSE files ${watch} RELATIVE ${dir} ${dir}/*)
  list(FILTER files EXCLUDE REGEX "(^|/)src/|(^|/)README[^/]*$|\\.fods$")
  list(SORT files)
  list(TRANSFORM files PREPEND ${dir}/)
  set(${out} ${files} PARENT_SCOPE)
endfunction()
