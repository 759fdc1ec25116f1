# The archive of finished games: replays, the database, the server keeping
# a robot game, its commands and pages.
if(ZELBO_WITH_QT AND TARGET zelbowin-server)
  zelbo_test(archive_test SOURCES archive_test.cpp
             LIBS zelbo_archive zelbo_server_core zelbo_net_qt zelbo_web_bridge Qt6::Sql LABELS archive QT)
  target_compile_definitions(archive_test PRIVATE ZELBOWIN_SERVER="$<TARGET_FILE:zelbowin-server>")
  add_dependencies(archive_test zelbowin-server)
endif()
if(TARGET zelbo_wasm AND TARGET zelbowin-server)
  find_program(ZELBO_DEBIAN_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
  add_test(NAME replay_browser_test
           COMMAND ${ZELBO_DEBIAN_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/replay_browser_test.py
                   $<TARGET_FILE:zelbowin-server>)
  set_tests_properties(replay_browser_test PROPERTIES LABELS "web;archive" TIMEOUT 1200
    ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan_qt.supp")
endif()
