# SPDX-License-Identifier: MIT
# Wine around the Windows tree's tests: a fixture starts it once (prefix in
# the build tree, a persistent server, its services) and another stops it.
# vorlane_under_wine(TEST...) puts tests of the including directory inside
# it, with the label windows.
set(VORLANE_WINE_ENV WINEPREFIX=${CMAKE_BINARY_DIR}/wine WINEDEBUG=-all)
set(wine_session ${CMAKE_CURRENT_LIST_DIR}/wine_session.sh)
add_test(NAME windows.wine_start COMMAND ${wine_session} start)
add_test(NAME windows.wine_stop COMMAND ${wine_session} stop)
set_tests_properties(windows.wine_start PROPERTIES FIXTURES_SETUP wine)
set_tests_properties(windows.wine_stop PROPERTIES FIXTURES_CLEANUP wine)
set_tests_properties(windows.wine_start windows.wine_stop PROPERTIES
  LABELS windows ENVIRONMENT "${VORLANE_WINE_ENV}")

function(vorlane_under_wine)
  set_tests_properties(${ARGN} PROPERTIES FIXTURES_REQUIRED wine
    ENVIRONMENT "${VORLANE_WINE_ENV}")
  set_property(TEST ${ARGN} APPEND PROPERTY LABELS windows)
endfunction()
