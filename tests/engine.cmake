# Tests of the rules engine and the bench's workload.
zelbo_test(random_test SOURCES random_test.cpp LIBS zelbo_engine LABELS engine)
zelbo_test(dealing_test SOURCES dealing_test.cpp LIBS zelbo_engine LABELS engine)
zelbo_test(card_play_test SOURCES card_play_test.cpp LIBS zelbo_engine LABELS engine)
zelbo_test(decision_round_test SOURCES decision_round_test.cpp LIBS zelbo_engine LABELS engine)
zelbo_test(dominoes_test SOURCES dominoes_test.cpp LIBS zelbo_engine LABELS engine)
