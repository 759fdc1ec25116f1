# Installing: the whole build goes into a temporary DESTDIR and the files a
# system would get are checked there.
if(ZELBO_WITH_QT)
  include(GNUInstallDirs)
  add_test(NAME install_test
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install_test.sh ${CMAKE_BINARY_DIR}
                   ${PROJECT_VERSION} ${CMAKE_INSTALL_PREFIX} ${CMAKE_INSTALL_BINDIR}
                   ${CMAKE_INSTALL_FULL_SYSCONFDIR}
                   ${ZELBO_SYSTEMD_UNIT_DIR})
  set_tests_properties(install_test PROPERTIES LABELS install TIMEOUT 300
                       ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1")
endif()

# The server's command line, and resuming the autosave after a restart (the
# service uses --resume).
if(ZELBO_WITH_QT)
  zelbo_test(server_options_test SOURCES server_options_test.cpp LIBS zelbo_server_core LABELS net)
  zelbo_test(resume_plan_test SOURCES resume_plan_test.cpp LIBS zelbo_server_core zelbo_records
             LABELS net)
endif()
