# Interoperability with other readers and writers of the workbook format (Debian's python
# modules are only seen by /usr/bin/python3).
if(TARGET make_configure)
  add_test(NAME settings_interop_written_open_in_xlrd_and_olefile
    COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/interop/check_written.py $<TARGET_FILE:make_configure>)
  add_test(NAME settings_interop_xlwt_workbooks_read_back
    COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/interop/check_read.py $<TARGET_FILE:make_configure>)
  set_tests_properties(settings_interop_written_open_in_xlrd_and_olefile settings_interop_xlwt_workbooks_read_back
    PROPERTIES TIMEOUT 120)
endif()
