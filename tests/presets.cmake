# Each preset CI can run configures and builds (label "presets"): the two
# every machine has, and the fuzz and wasm ones where clang and Emscripten
# are installed.
set(presets debug-sanitizers release)
find_program(ZELBO_CLANG clang++)
if(ZELBO_CLANG)
  list(APPEND presets fuzz)
endif()
if(ZELBO_EMCMAKE)
  list(APPEND presets wasm)
endif()
foreach(preset ${presets})
  add_test(NAME preset_${preset}
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/preset_check.sh ${CMAKE_SOURCE_DIR} ${preset}
                   ${CMAKE_CURRENT_BINARY_DIR}/preset-${preset} zelbo_engine)
  set_tests_properties(preset_${preset} PROPERTIES LABELS presets TIMEOUT 900
                       ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
endforeach()
