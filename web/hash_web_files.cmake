# Run at build time (cmake -P): gives the browser client's static files
# names that carry a hash of their content, so that a browser may keep them
# for good and ask again only for the page that names them.
#
#   -DFILES=a|b|...  the files, absolute paths, separated by "|"
#   -DOUT_DIR=dir    where they are written, under their plain names, with
#                    every reference to another hashed file rewritten to its
#                    hashed name
#
# Pages (.html), the manifest and favicon.ico keep their names and are not
# hashed: their URLs must stay the same. Every other file is, and
# OUT_DIR/asset-names lists "plain hashed" per line ("main.js main.0123456789.js").
# A file's hash is taken after its own references are rewritten, so a
# change to card_art.js changes the names of the scripts that import it too.
cmake_minimum_required(VERSION 3.25)

string(REPLACE "|" ";" files "${FILES}")
set(names)
foreach(file IN LISTS files)
  get_filename_component(name "${file}" NAME)
  list(APPEND names "${name}")
  set(path_${name} "${file}")
  set(text_${name} FALSE)
  if(name MATCHES "\\.(js|mjs|css|html|svg|webmanifest|json)$")
    set(text_${name} TRUE)
    file(READ "${file}" content_${name})
  endif()
  set(hashed_${name} TRUE)
  if(name MATCHES "\\.(html|webmanifest)$" OR name STREQUAL "favicon.ico")
    set(hashed_${name} FALSE)
  endif()
endforeach()

# A reference is the name right after a quote, slash or parenthesis and
# right before a quote, parenthesis, "?" or "#": "./main.js", url(icon.svg),
# '/game.js'. So "game.js" is never found inside "games.js".
function(reference_pattern name out)
  string(REPLACE "." "\\." escaped "${name}")
  set(${out} "([\"'/(])${escaped}([\"')?#])" PARENT_SCOPE)
endfunction()

# Writes a file only when its content changed, so that what is built from
# it (the resources) is not rebuilt for nothing.
function(write_if_changed path content)
  set(old "")
  if(EXISTS "${path}")
    file(READ "${path}" old)
  endif()
  if(NOT old STREQUAL content)
    file(WRITE "${path}" "${content}")
  endif()
endfunction()

# The hashed files each text file names; they must be named first.
foreach(name IN LISTS names)
  set(needs_${name})
  if(text_${name})
    foreach(other IN LISTS names)
      if(NOT other STREQUAL name AND hashed_${other})
        reference_pattern("${other}" pattern)
        if("${content_${name}}" MATCHES "${pattern}")
          list(APPEND needs_${name} "${other}")
        endif()
      endif()
    endforeach()
  endif()
endforeach()

file(MAKE_DIRECTORY "${OUT_DIR}")
set(pending ${names})
set(table "")
while(pending)
  set(progress FALSE)
  foreach(name IN LISTS pending)
    set(ready TRUE)
    foreach(other IN LISTS needs_${name})
      if(NOT DEFINED final_${other})
        set(ready FALSE)
      endif()
    endforeach()
    if(NOT ready)
      continue()
    endif()
    set(out "${OUT_DIR}/${name}")
    if(text_${name})
      set(content "${content_${name}}")
      foreach(other IN LISTS needs_${name})
        reference_pattern("${other}" pattern)
        string(REGEX REPLACE "${pattern}" "\\1${final_${other}}\\2" content "${content}")
      endforeach()
      string(SHA256 hash "${content}")
      write_if_changed("${out}" "${content}")
    else()
      file(SHA256 "${path_${name}}" hash)
      file(COPY_FILE "${path_${name}}" "${out}" ONLY_IF_DIFFERENT)
    endif()
    if(hashed_${name})
      string(SUBSTRING "${hash}" 0 10 hash)
      string(REGEX REPLACE "^(.*)(\\.[^.]+)$" "\\1.${hash}\\2" final "${name}")
      string(APPEND table "${name} ${final}\n")
    else()
      set(final "${name}")
    endif()
    set(final_${name} "${final}")
    list(REMOVE_ITEM pending "${name}")
    set(progress TRUE)
  endforeach()
  if(NOT progress)
    message(FATAL_ERROR "web files that name each other in a circle: ${pending}")
  endif()
endwhile()

write_if_changed("${OUT_DIR}/asset-names" "${table}")
