# Layer rules checked when the project is configured: a library of a lower
# layer must not link, directly or through the libraries it links, the Qt
# modules of the layers above it.

# What target's code can use: what it links itself (prop LINK_LIBRARIES),
# then what those libraries pass on (INTERFACE_LINK_LIBRARIES, without the
# link-only entries of a static library's private back end).
function(_quillora_collect_links target prop out)
  set(seen ${${out}})
  get_target_property(libs ${target} ${prop})
  if(libs)
    foreach(lib IN LISTS libs)
      if(lib MATCHES "^\\$<LINK_ONLY:" OR lib IN_LIST seen)
        continue()
      endif()
      list(APPEND seen ${lib})
      if(TARGET ${lib} AND lib MATCHES "^quillora_")
        _quillora_collect_links(${lib} INTERFACE_LINK_LIBRARIES seen)
      endif()
    endforeach()
  endif()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

# quillora_forbid_links(<target> <library>...): fails the configuration when
# target reaches one of the libraries.
function(quillora_forbid_links target)
  if(NOT TARGET ${target})
    return()
  endif()
  set(links "")
  _quillora_collect_links(${target} LINK_LIBRARIES links)
  foreach(forbidden IN LISTS ARGN)
    if(forbidden IN_LIST links)
      message(FATAL_ERROR "${target} must not link ${forbidden}: it belongs to a lower layer")
    endif()
  endforeach()
endfunction()
