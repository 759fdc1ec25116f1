# Table display: the pure painter and click test, and the Qt table.
if(TARGET zelbo_display)
  zelbo_test(table_painter_test SOURCES table_painter_test.cpp LIBS zelbo_display LABELS display)
  zelbo_test(table_click_test SOURCES table_click_test.cpp LIBS zelbo_display LABELS display)
  zelbo_test(compact_table_test SOURCES compact_table_test.cpp LIBS zelbo_display LABELS display)
endif()
if(TARGET zelbo_display_qt)
  zelbo_test(table_render_test SOURCES table_render_test.cpp LIBS zelbo_display_qt
             LABELS display QT)
endif()
