# Run by check_exports(): compares the dynamic symbols LIBRARY defines with
# EXPECTED, leaving out the markers the linker adds to every library.
execute_process(COMMAND ${NM} -D --defined-only --format=posix ${LIBRARY}
  OUTPUT_VARIABLE listing RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${NM} could not read ${LIBRARY}")
endif()
string(REPLACE "\n" ";" lines "${listing}")
set(defined)
foreach(line IN LISTS lines)
  string(REGEX MATCH "^([^ ]+) ([A-Za-z])" fields "${line}")
  set(symbol "${CMAKE_MATCH_1}")
  # A local symbol (a lower-case type: b, d, r, t ...) is listed when a
  # relocation needs it, as the sanitizers' type checks do, but nothing
  # outside can bind to it.
  if(CMAKE_MATCH_2 MATCHES "^[bdgnrst]$")
    continue()
  endif()
  if(symbol AND NOT symbol MATCHES "^(__bss_start|_edata|_end|_init|_fini)$")
    list(APPEND defined ${symbol})
  endif()
endforeach()
list(SORT defined)
list(REMOVE_DUPLICATES defined)
set(expected ${EXPECTED})
list(SORT expected)
if(NOT defined STREQUAL expected)
  message(FATAL_ERROR "${LIBRARY} defines the dynamic symbols\n  ${defined}\nand should define\n  ${expected}")
endif()
