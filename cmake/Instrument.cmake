# Instrumented builds of the project's own code (the system's libraries stay
# as they are):
#   PLAT_SANITIZE  AddressSanitizer and UndefinedBehaviorSanitizer, any report
#                  ends the program (scripts/sanitize.sh, build-sanitize/).
#   PLAT_FUZZ      the fuzz targets under tests/fuzz as libFuzzer programs, with
#                  both sanitizers; needs clang (scripts/fuzz.sh, build-fuzz/).
option(PLAT_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(PLAT_FUZZ "Build the fuzz targets for libFuzzer (clang)" OFF)

if(PLAT_SANITIZE OR PLAT_FUZZ)
  # float-cast-overflow: a NaN or an out-of-range number converted to an
  # integer is undefined, and gcc leaves that check out of "undefined".
  set(plat_sanitizers address,undefined,float-cast-overflow)
  if(PLAT_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
      message(FATAL_ERROR "PLAT_FUZZ needs clang (CXX=clang++-14)")
    endif()
    set(plat_sanitizers fuzzer-no-link,${plat_sanitizers})
  endif()
  add_compile_options(-fsanitize=${plat_sanitizers} -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
