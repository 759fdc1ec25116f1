# Tests of the robot player.
zelbo_test(robot_seat_view_test SOURCES robot_seat_view_test.cpp LIBS zelbo_robot LABELS robot)
zelbo_test(robot_strategy_test SOURCES robot_strategy_test.cpp LIBS zelbo_robot LABELS robot)
