# cmake -DLIB=path -DNEEDED=name -P check_needed.cmake: LIB's dynamic
# section lists NEEDED as a needed library.
execute_process(COMMAND readelf -d ${LIB} OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "readelf failed on ${LIB}")
endif()
string(REGEX MATCH "\\(NEEDED\\)[^\n]*\\[${NEEDED}\\]" found "${out}")
if(NOT found)
  message(FATAL_ERROR "${LIB} does not need ${NEEDED}:\n${out}")
endif()
