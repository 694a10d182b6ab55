# Optional instrumented builds: QM_SANITIZE=ON adds AddressSanitizer and UndefinedBehaviorSanitizer
# to everything; QM_FUZZ=ON (clang only) builds the libFuzzer targets in fuzz/.
option(QM_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(QM_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
if(QM_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
