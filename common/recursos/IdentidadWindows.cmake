# Windows identity of the shipped programs: the icon (drawn as SVG in this folder, made into a
# multi-size .ico at build time), version information and the application manifest, bound into
# each executable as a resource. Nothing is done elsewhere than Windows.

set(QRTZ_RECURSOS "${CMAKE_CURRENT_LIST_DIR}")

# The icon: rsvg-convert draws each size from the SVG, icotool joins them. Without those tools
# (Debian: librsvg2-bin, icoutils) the programs go without an icon, and the build says so.
function(qrtz_icono_windows salida)
  find_program(QRTZ_RSVG rsvg-convert)
  find_program(QRTZ_ICOTOOL icotool)
  if(NOT QRTZ_RSVG OR NOT QRTZ_ICOTOOL)
    message(WARNING "rsvg-convert or icotool not found (Debian: librsvg2-bin icoutils): "
                    "the Windows programs have no icon")
    set(${salida} "" PARENT_SCOPE)
    return()
  endif()
  set(svg "${QRTZ_RECURSOS}/CuestionarioQRTZ.svg")
  set(dir "${CMAKE_BINARY_DIR}/generado/icono")
  set(pngs "")
  set(comandos "")
  foreach(lado 16 24 32 48 64)
    list(APPEND pngs "${dir}/icono-${lado}.png")
    list(APPEND comandos COMMAND "${QRTZ_RSVG}" -w ${lado} -h ${lado} -o "${dir}/icono-${lado}.png" "${svg}")
  endforeach()
  # The large size is stored as PNG, as Windows takes it, instead of a 270 KB bitmap.
  list(APPEND pngs "--raw=${dir}/icono-256.png")
  list(APPEND comandos COMMAND "${QRTZ_RSVG}" -w 256 -h 256 -o "${dir}/icono-256.png" "${svg}")
  add_custom_command(OUTPUT "${dir}/CuestionarioQRTZ.ico"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${dir}"
    ${comandos}
    COMMAND "${QRTZ_ICOTOOL}" -c -o "${dir}/CuestionarioQRTZ.ico" ${pngs}
    DEPENDS "${svg}" VERBATIM)
  add_custom_target(qrtz_icono DEPENDS "${dir}/CuestionarioQRTZ.ico")
  set(${salida} "${dir}/CuestionarioQRTZ.ico" PARENT_SCOPE)
endfunction()

# Binds the identity into target: sDescripcion is the Spanish file description.
function(qrtz_identidad_windows target sDescripcion)
  if(NOT WIN32)
    return()
  endif()
  get_property(icono GLOBAL PROPERTY QRTZ_ICONO_WIN)
  get_property(hecho GLOBAL PROPERTY QRTZ_ICONO_HECHO)
  if(NOT hecho)
    qrtz_icono_windows(icono)
    set_property(GLOBAL PROPERTY QRTZ_ICONO_WIN "${icono}")
    set_property(GLOBAL PROPERTY QRTZ_ICONO_HECHO TRUE)
  endif()
  get_target_property(QRTZ_NOMBRE ${target} OUTPUT_NAME)
  if(NOT QRTZ_NOMBRE)
    set(QRTZ_NOMBRE ${target})
  endif()
  set(QRTZ_DESCRIPCION "${sDescripcion}")
  set(QRTZ_MANIFIESTO "${QRTZ_RECURSOS}/Programa.manifest")
  set(QRTZ_ICONO "${icono}")
  string(TIMESTAMP anio "%Y")
  set(QRTZ_COPYRIGHT "Copyright (C) ${anio} Los autores de CuestionarioQRTZ")
  string(REPLACE "." "," QRTZ_VERSION_NUM "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0")
  set(rc "${CMAKE_BINARY_DIR}/generado/identidad/${target}.rc")
  configure_file("${QRTZ_RECURSOS}/Programa.rc.in" "${rc}" @ONLY)
  if(NOT icono)
    # No icon: the line that binds it goes.
    file(READ "${rc}" texto)
    string(REPLACE "1 ICON \"\"\n" "" texto "${texto}")
    file(WRITE "${rc}" "${texto}")
  endif()
  target_sources(${target} PRIVATE "${rc}")
  if(icono)
    set_source_files_properties("${rc}" PROPERTIES OBJECT_DEPENDS "${icono}")
    add_dependencies(${target} qrtz_icono)
  endif()
endfunction()
