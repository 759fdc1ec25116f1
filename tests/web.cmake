# The browser client: its C++ bridge natively, and the page in headless
# Chromium against a real zelbowin-server (only where the WebAssembly is
# built, that is where Emscripten is installed).
if(TARGET zelbo_web_bridge)
  zelbo_test(web_client_test SOURCES web_client_test.cpp LIBS zelbo_web_bridge LABELS web)
  zelbo_test(page_constants_test SOURCES page_constants_test.cpp LIBS zelbo_web_bridge LABELS web)
  target_compile_definitions(page_constants_test PRIVATE ZELBO_PAGE_DIR="${CMAKE_SOURCE_DIR}/web/page")
  zelbo_test(card_recipe_test SOURCES card_recipe_test.cpp LIBS zelbo_display LABELS display)
endif()
if(TARGET zelbo_wasm AND TARGET zelbowin-server)
  add_executable(score_sheet_dump score_sheet_dump.cpp)
  target_link_libraries(score_sheet_dump PRIVATE zelbo_records)
  find_program(ZELBO_DEBIAN_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
  add_test(NAME web_browser_test
           COMMAND ${ZELBO_DEBIAN_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/web_browser_test.py
                   $<TARGET_FILE:zelbowin-server> $<TARGET_FILE:score_sheet_dump>
                   $<TARGET_FILE:zelbowin-robot>)
  set_tests_properties(web_browser_test PROPERTIES LABELS "web" TIMEOUT 600
    ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan_qt.supp")
  add_dependencies(score_sheet_dump zelbowin-server)
endif()
