# cmake -DTARGET=name -DFILES="a;b;..." -P CheckNoQtIncludes.cmake
# Fails when any of the files includes a Qt header (<Q...>, <QtCore/...>, "Q..." and the like).
foreach(file IN LISTS FILES)
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Qt[A-Za-z]*/|Q[A-Z][A-Za-z]*[>\"]|q[a-z]+\\.h)")
  if(lines)
    message(SEND_ERROR "${file} includes Qt: ${lines}")
    set(failed TRUE)
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "${TARGET} must not include Qt headers")
endif()
