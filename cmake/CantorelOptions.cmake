# Compiler strictness and sanitizer switches shared by every target.
add_library(cantorel_options INTERFACE)
target_compile_options(cantorel_options INTERFACE -Wall -Wextra -Wno-unused-parameter)
if(CANTOREL_WERROR)
  target_compile_options(cantorel_options INTERFACE -Werror)
endif()
target_compile_definitions(cantorel_options INTERFACE
  QT_NO_CAST_FROM_ASCII QT_USE_QSTRINGBUILDER QT_NO_KEYWORDS
  QT_NO_CAST_FROM_BYTEARRAY QT_NO_URL_CAST_FROM_STRING)

if(CANTOREL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(CANTOREL_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "CANTOREL_FUZZ needs clang")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
