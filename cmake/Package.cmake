# ./dev package: the installation above as a Debian package for /usr, built by CPack over a
# build folder (cpack --config BUILD/CPackConfig.cmake).

set(TARNWICK_PACKAGE_MAINTAINER "Tarnwick developers <developers@tarnwick.org>" CACHE STRING
    "Maintainer of the Debian package, as NAME <ADDRESS>")

# Debian's manual pages and documents are gzipped without a time stamp, so that the same
# sources give the same package.
set(TARNWICK_GZIPPED)
function(tarnwick_gzip input output)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/debian
        COMMAND gzip -9n -c ${input} > ${output}.partial
        COMMAND ${CMAKE_COMMAND} -E rename ${output}.partial ${output}
        DEPENDS ${input}
        COMMENT "Compressing ${output}")
    set(TARNWICK_GZIPPED ${TARNWICK_GZIPPED} ${output} PARENT_SCOPE)
endfunction()

# What Debian asks of every package beside its programs: the copyright and the changelog.
configure_file(resources/debian/changelog.in ${CMAKE_BINARY_DIR}/debian/changelog @ONLY)
tarnwick_gzip(${CMAKE_BINARY_DIR}/debian/changelog ${CMAKE_BINARY_DIR}/debian/changelog.gz)
install(FILES resources/debian/copyright ${CMAKE_BINARY_DIR}/debian/changelog.gz
        DESTINATION share/doc/tarnwick)
# A manual page for each program, installed with them under any prefix.
foreach(program tarnwick tarnwick-cli slidekeep3)
    tarnwick_gzip(${CMAKE_SOURCE_DIR}/resources/man/${program}.1
                  ${CMAKE_BINARY_DIR}/debian/${program}.1.gz)
    install(FILES ${CMAKE_BINARY_DIR}/debian/${program}.1.gz
            DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_target(tarnwick_gzipped ALL DEPENDS ${TARNWICK_GZIPPED})
# What lintian reports of the package and is meant so, each with its reason.
install(FILES resources/debian/lintian-overrides DESTINATION share/lintian/overrides
        RENAME tarnwick)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnwick)
set(CPACK_PACKAGE_VENDOR "the Tarnwick developers")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "browse and compare photo series of natural fuels")
# Debian shows the description as it is: lines of at most 79 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Tarnwick is a desktop program for fuels and fire planners. It keeps a
catalogue of photo series of natural fuels, each photo with the fuel loadings
measured at its site: browse it, query it by book, fuel loading, size class
and fuel model, compare two photos side by side, build the fuel profile of a
site and print reports of photos, comparisons and profiles.
.
The package holds the program, its command-line companion tarnwick-cli, the
photo series manager slidekeep3, the manual and a demo catalogue with its
photo images, which each user's folder is laid out from at the first start.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TARNWICK_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps finds the libraries the programs link; Qt's plug-ins are loaded at run time and
# named here: the SQLite driver of the catalogue file and the PostgreSQL driver of a catalogue on
# a server.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql")
# The reports are set in Tahoma, which Debian has in fonts-wine.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wine")
include(CPack)
