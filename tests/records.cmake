# Saved games, undo ring, autosave, hand records and decision texts.
zelbo_test(saved_game_test SOURCES saved_game_test.cpp LIBS zelbo_records LABELS records)
if(TARGET zelbo_display AND TARGET zelbo_robot)
  zelbo_test(saved_game_robustness_test SOURCES saved_game_robustness_test.cpp
             LIBS zelbo_records zelbo_display zelbo_robot LABELS records)
endif()
zelbo_test(undo_ring_test SOURCES undo_ring_test.cpp LIBS zelbo_records LABELS records)
zelbo_test(hand_records_test SOURCES hand_records_test.cpp LIBS zelbo_records LABELS records)
zelbo_test(decision_text_test SOURCES decision_text_test.cpp LIBS zelbo_engine LABELS records)
if(TARGET zelbo_disk_writer)
  zelbo_test(disk_writer_test SOURCES disk_writer_test.cpp LIBS zelbo_disk_writer LABELS records)
endif()
