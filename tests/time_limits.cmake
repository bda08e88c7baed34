# Every test's time limit, in seconds, stated here and nowhere else. Each is many times what
# the test takes on a loaded machine of two cores. A test under Wine that is still running
# ten seconds before its limit has its display saved in artifacts/time-limits and is ended
# by the Wine wrapper (cmake/wine-run.sh.in), so that it fails under its own name with a
# picture of whatever it waited on; CTest itself ends any other test at its limit.
set(MENDLET_TIME_LIMIT 120)
set(MENDLET_LONG_TIME_LIMITS
  win.session_start 300            # creates the Wine prefix on a fresh machine
  win.release_package 600          # builds the zip first
  win.display_scaling 600          # four scales, each with a wine server of its own and three languages' texts
  # Nine readings of every menu and dialog; each window closed costs Wine about two seconds here.
  win.ShippedLanguagesTest.ASwitchShowsWhatAStartInTheLanguageShows 300
  win.JoinFaultTest.APartOverFourGibibytesIsListedAndJoinedAcrossTheMark 900
  win.Scenario.AJoinStoppedHalfwayIsRunAgainToTheEnd 600
  win.WarningsScenario.TheListWarnsAndEveryNoStopsTheJoinBeforeAnythingIsWritten 600
)
# A fuzz target runs for MENDLET_FUZZ_SECONDS and then checks what it found.
set(MENDLET_FUZZ_TIME_LIMIT 300)

# The limit of the named test.
function(mendlet_time_limit_of name result)
  set(limit ${MENDLET_TIME_LIMIT})
  list(FIND MENDLET_LONG_TIME_LIMITS "${name}" at)
  if(at GREATER_EQUAL 0)
    math(EXPR at "${at} + 1")
    list(GET MENDLET_LONG_TIME_LIMITS ${at} limit)
  endif()
  set(${result} ${limit} PARENT_SCOPE)
endfunction()

# Gives the tests named their limits, and tells the Wine wrapper of each.
function(mendlet_set_time_limits)
  foreach(name IN LISTS ARGN)
    mendlet_time_limit_of(${name} limit)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${limit} ENVIRONMENT "MENDLET_TIME_LIMIT=${limit}")
  endforeach()
endfunction()

# Tests that GoogleTest lists only when CTest runs get the common limit when they are
# listed, and the long ones theirs from a file that CTest reads after the lists.
set(MENDLET_DISCOVERED_TEST_PROPERTIES TIMEOUT ${MENDLET_TIME_LIMIT} ENVIRONMENT "MENDLET_TIME_LIMIT=${MENDLET_TIME_LIMIT}")
function(mendlet_set_discovered_time_limits)
  set(file "${CMAKE_CURRENT_BINARY_DIR}/long_time_limits.cmake")
  set(text "")
  list(LENGTH MENDLET_LONG_TIME_LIMITS count)
  math(EXPR last "${count} - 1")
  foreach(at RANGE 0 ${last} 2)
    math(EXPR next "${at} + 1")
    list(GET MENDLET_LONG_TIME_LIMITS ${at} name)
    list(GET MENDLET_LONG_TIME_LIMITS ${next} limit)
    string(APPEND text "set_tests_properties(\"${name}\" PROPERTIES TIMEOUT ${limit} ENVIRONMENT \"MENDLET_TIME_LIMIT=${limit}\")\n")
  endforeach()
  file(WRITE "${file}" "${text}")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${file}")
endfunction()
