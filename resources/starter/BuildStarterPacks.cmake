# Packs the starter pictures with montara-tool: one pack per category, from the list
# "<category>.txt" the art generator wrote beside the pictures (frame lines carry the
# opening after the path).
#   cmake -DTOOL=montara-tool -DART=<pictures folder> -DOUT=<packs folder> -P BuildStarterPacks.cmake
foreach(category frames masks shapes brushes clipart)
  file(STRINGS "${ART}/${category}.txt" lines)
  set(args)
  foreach(line IN LISTS lines)
    string(REPLACE " " ";" fields "${line}")
    list(GET fields 0 picture)
    list(APPEND args "${picture}")
    list(LENGTH fields n)
    if(n GREATER 1)
      list(GET fields 1 opening)
      list(APPEND args --opening "${opening}")
    endif()
  endforeach()
  execute_process(COMMAND "${TOOL}" pack build ${category} "${OUT}/montara-${category}.qrs" ${args}
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "montara-tool could not build the starter ${category} pack")
  endif()
endforeach()
