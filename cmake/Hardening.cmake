# Every build is hardened as Debian builds its own packages and as the OpenSSF guide for C and C++
# recommends: stack protector, stack clash and control-flow protection, checked standard containers,
# fortified C library calls, and a PIE whose relocations are bound at start-up and then read-only.
# Control-flow protection differs between machines (CET on x86-64, PAC and BTI on arm64, none that
# gcc offers on the others): cmake/architectures names it for each.
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

add_compile_options(
  -fstack-protector-strong -fstack-clash-protection ${XCROSS_CONTROL_FLOW}
  -D_GLIBCXX_ASSERTIONS
  # Fortified calls need the optimiser; Debug builds are for the sanitizers and valgrind instead.
  # The -U keeps a toolchain that fortifies by default from warning about the redefinition.
  "$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=3>")
# --as-needed leaves out libm, which the C++ runtime names on some machines but xcross never calls.
add_link_options(-Wl,-z,relro,-z,now -Wl,-z,noexecstack -Wl,--as-needed)
