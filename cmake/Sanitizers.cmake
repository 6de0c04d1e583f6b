# GLINTCAP_SANITIZE=address,undefined or GLINTCAP_SANITIZE=thread instruments every target.
if(GLINTCAP_SANITIZE)
  set(_san_flags -fsanitize=${GLINTCAP_SANITIZE} -fno-omit-frame-pointer -g)
  if(GLINTCAP_SANITIZE MATCHES "undefined")
    list(APPEND _san_flags -fno-sanitize-recover=undefined)
  endif()
  add_compile_options(${_san_flags})
  add_link_options(-fsanitize=${GLINTCAP_SANITIZE})
endif()
