# Instrumented builds of the project's own code (the system's libraries stay
# as they are):
#   PLAT_SANITIZE  AddressSanitizer and UndefinedBehaviorSanitizer, any report
#                  ends the program (scripts/sanitize.sh, build-sanitize/).
option(PLAT_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(PLAT_SANITIZE)
  # float-cast-overflow: a NaN or an out-of-range number converted to an
  # integer is undefined, and gcc leaves that check out of "undefined".
  set(plat_sanitizers address,undefined,float-cast-overflow)
  add_compile_options(-fsanitize=${plat_sanitizers} -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
