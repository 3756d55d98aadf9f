# Read/Write dispatch tests; included from tests/app/CMakeLists.txt.
tessra_add_test(dispatch_test ${CMAKE_CURRENT_LIST_DIR}/dispatch_test.cpp)
target_link_libraries(dispatch_test PRIVATE tessra_dispatch tessra_settings_exchange)
target_include_directories(dispatch_test PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../settings)
