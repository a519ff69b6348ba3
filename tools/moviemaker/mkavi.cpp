// Makes a silent movie clip from still frames:
//
//   mkavi [--ms-per-frame N] OUT.avi FRAME.ppm...
//
// The frames are binary PPM pictures (P6, 8 bits a channel) of one size with at most 256
// colours between them all (ImageMagick: -remap onto one palette). A frame named again is shown
// again, so a picture that should stay longer is named several times. The clip plays
// N milliseconds a frame (default 200).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tools/moviemaker/RleAvi.h"

namespace {

struct TPicture {
    int Width = 0;
    int Height = 0;
    std::vector<zvavi::TRgb> Pixels;
};

// The next number of a PPM header, after white space and comments.
int HeaderNumber(std::istream& In) {
    for (;;) {
        In >> std::ws;
        if (In.peek() != '#')
            break;
        std::string comment;
        std::getline(In, comment);
    }
    int n = -1;
    In >> n;
    return n;
}

TPicture ReadPpm(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    if (!in)
        throw zvavi::EClipError(Path + ": cannot be read");
    std::string magic;
    in >> magic;
    TPicture p;
    p.Width = HeaderNumber(in);
    p.Height = HeaderNumber(in);
    const int maxval = HeaderNumber(in);
    if (magic != "P6" || p.Width <= 0 || p.Height <= 0 || maxval != 255)
        throw zvavi::EClipError(Path + ": not a binary PPM picture with 8 bits a channel");
    in.get(); // the one white-space character before the pixels
    const size_t n = static_cast<size_t>(p.Width) * static_cast<size_t>(p.Height);
    std::vector<uint8_t> raw(n * 3);
    if (!in.read(reinterpret_cast<char*>(raw.data()), static_cast<std::streamsize>(raw.size())))
        throw zvavi::EClipError(Path + ": the picture is cut short");
    p.Pixels.resize(n);
    for (size_t i = 0; i < n; ++i)
        p.Pixels[i] = {raw[3 * i], raw[3 * i + 1], raw[3 * i + 2]};
    return p;
}

int Usage() {
    std::cerr << "usage: mkavi [--ms-per-frame N] OUT.avi FRAME.ppm...\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    unsigned msPerFrame = 200;
    if (args.size() >= 2 && args[0] == "--ms-per-frame") {
        msPerFrame = static_cast<unsigned>(std::strtoul(args[1].c_str(), nullptr, 10));
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.size() < 2 || msPerFrame == 0)
        return Usage();
    try {
        std::vector<std::vector<zvavi::TRgb>> frames;
        int width = 0, height = 0;
        for (size_t i = 1; i < args.size(); ++i) {
            TPicture p = ReadPpm(args[i]);
            if (frames.empty()) {
                width = p.Width;
                height = p.Height;
            }
            frames.push_back(std::move(p.Pixels));
        }
        const zvavi::TClip clip = zvavi::IndexFrames(frames, width, height, msPerFrame * 1000);
        const std::vector<uint8_t> avi = zvavi::WriteAvi(clip);
        std::ofstream out(args[0], std::ios::binary);
        out.write(reinterpret_cast<const char*>(avi.data()),
                  static_cast<std::streamsize>(avi.size()));
        if (!out.flush())
            throw zvavi::EClipError(args[0] + ": cannot be written");
        std::cout << args[0] << ": " << clip.Frames.size() << " frames of " << width << " x "
                  << height << ", " << clip.Palette.size() << " colours, " << avi.size()
                  << " bytes\n";
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "mkavi: " << e.what() << "\n";
        return 1;
    }
}
