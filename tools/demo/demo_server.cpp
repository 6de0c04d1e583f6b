// Serves the demo package on 127.0.0.1 the way the real download server does: the package address
// "/software/216" redirects to its final address "/<md5>/GlintcapSetup.exe". Prints that first
// address, then serves until standard input ends.
//   glintcap-demo-server PACKAGE_FILE

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "testing/http_file_server.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PACKAGE_FILE\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    std::stringstream content;
    content << in.rdbuf();

    glintcap_testing::HttpFileServer server;
    if (!server.Start()) {
        std::fprintf(stderr, "cannot listen on 127.0.0.1\n");
        return 1;
    }
    std::string finalPath = server.AddPackage("GlintcapSetup.exe", content.str());
    server.AddRedirect("/software/216", finalPath);
    std::cout << server.UrlFor("/software/216") << std::endl;

    std::string ignored;
    while (std::getline(std::cin, ignored)) {
    }
    server.Stop();
    return 0;
}
