# The archive of finished games: replays, the database, the server keeping
# a robot game, its commands and pages.
if(ZELBO_WITH_QT AND TARGET zelbowin-server)
  zelbo_test(archive_test SOURCES archive_test.cpp
             LIBS zelbo_archive zelbo_server_core zelbo_net_qt zelbo_web_bridge Qt6::Sql LABELS archive QT)
  target_compile_definitions(archive_test PRIVATE ZELBOWIN_SERVER="$<TARGET_FILE:zelbowin-server>")
  add_dependencies(archive_test zelbowin-server)
endif()
