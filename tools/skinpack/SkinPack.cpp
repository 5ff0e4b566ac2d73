#include "SkinPack.h"

#include "core/Bmp.h"
#include "core/FileSys.h"
#include "display/SupFun.h"

namespace tempora {

namespace {

const char kUsage[] =
    "usage: skinpack COMMAND\n"
    "  pack KEYS.ini PICTURE.bmp OUT.sk   join a key list and a BMP picture into a package\n"
    "  unpack IN.sk OUTDIR                write the package's keys.ini and picture.bmp to OUTDIR\n"
    "  check IN.sk [--window W]...        check the package for the windows W: bar, calendar,\n"
    "                                     weather, win (dialog frame) or clock; without\n"
    "                                     --window, the windows its sections name\n"
    "Exit status: 0 done, 1 a file or package problem, 2 a wrong command line.\n";

constexpr int kOk = 0;
constexpr int kProblem = 1;
constexpr int kUsageError = 2;

int Usage(std::ostream& err, const std::string& message) {
    err << "skinpack: " << message << "\n" << kUsage;
    return kUsageError;
}

bool Read(const std::string& path, std::string& bytes, std::ostream& err) {
    if (ReadFileBytes(path, bytes))
        return true;
    err << "skinpack: cannot read " << path << "\n";
    return false;
}

bool Write(const std::string& path, std::string_view bytes, std::ostream& err) {
    if (WriteFileAtomic(path, bytes))
        return true;
    err << "skinpack: cannot write " << path << "\n";
    return false;
}

void PrintErrors(const std::string& file, const TSkinCheck& check, const char* label,
                 std::ostream& err) {
    for (const std::string& e : check.errors)
        err << file << ": " << label << ": " << e << "\n";
}

int Pack(const std::string& keysPath, const std::string& bmpPath, const std::string& outPath,
         std::ostream& out, std::ostream& err) {
    std::string keys, bmp;
    if (!Read(keysPath, keys, err) || !Read(bmpPath, bmp, err))
        return kProblem;
    Bitmap picture;
    std::string why;
    if (!DecodeBmp(bmp, picture, &why)) {
        err << "skinpack: " << bmpPath << " is no usable BMP file: " << why << "\n";
        return kProblem;
    }
    const std::string package = MakeSkinPackage(keys, bmp);
    if (!Write(outPath, package, err))
        return kProblem;
    out << "wrote " << outPath << ": key list " << keys.size() << " bytes, picture "
        << picture.Width() << "x" << picture.Height() << "\n";
    // The package is written either way; what a window would quietly
    // default or refuse is worth knowing at once.
    PrintErrors(outPath, CheckSkinPackage(package, {}), "warning", err);
    return kOk;
}

int Unpack(const std::string& inPath, std::string outDir, std::ostream& out, std::ostream& err) {
    std::string bytes;
    if (!Read(inPath, bytes, err))
        return kProblem;
    std::string_view keys, picture;
    std::string why;
    if (!SplitSkinPackage(bytes, keys, picture, &why)) {
        err << inPath << ": error: package: " << why << "\n";
        return kProblem;
    }
    if (!MakeDirectory(outDir)) {
        err << "skinpack: cannot make the folder " << outDir << "\n";
        return kProblem;
    }
    if (outDir.back() != '/' && outDir.back() != kPathSep)
        outDir += kPathSep;
    if (!Write(outDir + "keys.ini", keys, err) || !Write(outDir + "picture.bmp", picture, err))
        return kProblem;
    out << "wrote " << outDir << "keys.ini (" << keys.size() << " bytes) and " << outDir
        << "picture.bmp (" << picture.size() << " bytes)\n";
    return kOk;
}

int Check(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string inPath;
    std::vector<TSkinWindow> windows;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--window") {
            TSkinWindow w;
            if (i + 1 >= args.size() || !SkinWindowFromName(args[i + 1], w))
                return Usage(err, "--window takes bar, calendar, weather, win or clock");
            windows.push_back(w);
            ++i;
        } else if (inPath.empty()) {
            inPath = args[i];
        } else {
            return Usage(err, "check takes one package");
        }
    }
    if (inPath.empty())
        return Usage(err, "check needs a package");
    std::string bytes;
    if (!Read(inPath, bytes, err))
        return kProblem;
    const TSkinCheck check = CheckSkinPackage(bytes, windows);
    for (const std::string& note : check.notes)
        out << "  " << note << "\n";
    PrintErrors(inPath, check, "error", err);
    if (!check.errors.empty()) {
        out << inPath << ": " << check.errors.size()
            << (check.errors.size() == 1 ? " problem\n" : " problems\n");
        return kProblem;
    }
    out << inPath << ": OK\n";
    return kOk;
}

}  // namespace

int RunSkinPack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty())
        return Usage(err, "no command");
    const std::string& cmd = args[0];
    if (cmd == "pack") {
        if (args.size() != 4)
            return Usage(err, "pack takes KEYS.ini PICTURE.bmp OUT.sk");
        return Pack(args[1], args[2], args[3], out, err);
    }
    if (cmd == "unpack") {
        if (args.size() != 3 || args[2].empty())
            return Usage(err, "unpack takes IN.sk OUTDIR");
        return Unpack(args[1], args[2], out, err);
    }
    if (cmd == "check")
        return Check(args, out, err);
    if (cmd == "--help" || cmd == "-h" || cmd == "help") {
        out << kUsage;
        return kOk;
    }
    return Usage(err, "unknown command '" + cmd + "'");
}

}  // namespace tempora
