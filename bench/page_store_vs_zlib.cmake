kestrun_bench(page_store_vs_zlib SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/page_store_vs_zlib.cpp
              DEPS kestrun_reports_pages ZLIB::ZLIB)
