# Tests of the robot player.
zelbo_test(robot_seat_view_test SOURCES robot_seat_view_test.cpp LIBS zelbo_robot LABELS robot)
zelbo_test(robot_strategy_test SOURCES robot_strategy_test.cpp LIBS zelbo_robot LABELS robot)
zelbo_test(robot_client_test SOURCES robot_client_test.cpp LIBS zelbo_robot_client LABELS robot)
zelbo_test(robot_options_test SOURCES robot_options_test.cpp LIBS zelbo_robot_options LABELS robot)
target_compile_definitions(robot_options_test PRIVATE ZELBO_PACKAGING_DIR="${CMAKE_SOURCE_DIR}/packaging")
if(ZELBO_WITH_QT)
  # Whole games over loopback between a server and robots in one process.
  zelbo_test(robot_table_test SOURCES robot_table_test.cpp
             LIBS zelbo_robot_table_qt Qt6::Core Qt6::Network LABELS robot net QT)
  zelbo_test(seat_warmer_test SOURCES seat_warmer_test.cpp
             LIBS zelbo_robot_table_qt Qt6::Core Qt6::Network LABELS robot net QT)
endif()
if(ZELBO_WITH_QT AND TARGET zelbowin-server)
  # The crash drill runs the server as a separate process; label "drill".
  zelbo_test(robot_drill_test SOURCES robot_drill_test.cpp
             LIBS zelbo_robot_qt Qt6::Core Qt6::Network LABELS drill QT)
  target_compile_definitions(robot_drill_test PRIVATE
                             ZELBOWIN_SERVER="$<TARGET_FILE:zelbowin-server>")
  add_dependencies(robot_drill_test zelbowin-server)
endif()
zelbo_test(strong_robot_test SOURCES strong_robot_test.cpp LIBS zelbo_robot LABELS robot)
if(TARGET zelbo_hosting)
  # The writer thread under a robot game whose folder fails and comes back.
  zelbo_test(event_loop_writer_test SOURCES event_loop_writer_test.cpp
             LIBS zelbo_hosting Qt6::Core Qt6::Network LABELS robot net QT)
endif()
zelbo_test(decision_review_test SOURCES decision_review_test.cpp LIBS zelbo_robot zelbo_records LABELS robot)
