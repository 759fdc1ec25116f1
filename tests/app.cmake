# Desktop program: command line, Setup, decision dialogs, main window.
zelbo_test(command_line_test SOURCES command_line_test.cpp LIBS zelbo_app_core LABELS app)
zelbo_test(pick_game_test SOURCES pick_game_test.cpp LIBS zelbo_dialogs_models LABELS app)
zelbo_test(doubling_dialog_test SOURCES doubling_dialog_test.cpp LIBS zelbo_dialogs_models LABELS app)
if(ZELBO_WITH_QT)
  zelbo_test(setup_dialog_test SOURCES setup_dialog_test.cpp LIBS zelbo_app LABELS app QT)
endif()
