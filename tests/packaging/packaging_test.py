# SPDX-License-Identifier: MIT
"""Checks Vorlane's desktop integration and its Debian package.

Usage:
  packaging_test.py validate SOURCE_DIR APP_ID VERSION
      the desktop entry, the metainfo and the icon in packaging/: both
      validators pass, and the files agree with each other and the build
  packaging_test.py install BUILD_DIR APP_ID
      `cmake --install` into a scratch DESTDIR puts exactly the program,
      the desktop entry, the icon and the metainfo in their places
  packaging_test.py deb BUILD_DIR APP_ID VERSION
      CPack's Debian package, looked at with dpkg-deb: its name, version,
      section, maintainer and dependencies, its files, and that its program
      starts; apt would install it here
  packaging_test.py platforms BUILD_DIR APP_ID VERSION
      the Windows version resource and the macOS bundle keys that CMake
      generates: the resource compiles with MinGW's windres and carries the
      name and version, the Info.plist parses and carries them too
  packaging_test.py deps SOURCE_DIR
      scripts/install-deps' parts: `run` brings nothing a player does not
      need, `test` holds every other part, every package is in Debian's
      archive
"""

import configparser
import os
import plistlib
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

FAILURES = []


# Where `cmake --install` and the package put each file, below the prefix /usr.
def installed_files(app_id):
    return {
        "usr/bin/vorlane",
        f"usr/share/applications/{app_id}.desktop",
        "usr/share/icons/hicolor/scalable/apps/vorlane.svg",
        f"usr/share/metainfo/{app_id}.metainfo.xml",
        "usr/share/doc/vorlane/copyright",
    }


# What appstreamcli --pedantic may say of the metainfo, and why it stays.
EXPLAINED_FINDINGS = {
    # The ID ends in the program's name, capitalised, as the desktop entry's
    # file name does; both are published names and stay as they are.
    "cid-contains-uppercase-letter",
}

# What the package must depend on besides the C and C++ runtimes: Qt 6 and
# its platform plugins, and the fonts that stand in for the design's faces.
DEPENDENCIES = ["libqt6widgets6", "libqt6gui6", "libqt6core6", "qt6-qpa-plugins",
                "fonts-liberation", "fonts-ebgaramond", "fonts-urw-base35", "fonts-dejavu-core"]

# The game's colours: the yellow window, red blocks, blue borders, black hatch.
GAME_COLOURS = ["#ffff00", "#ff0000", "#0000ff", "#000000"]


def check(condition, message, detail=""):
    print(("ok    " if condition else "FAIL  ") + message)
    if not condition:
        if detail.strip():
            print("      " + detail.strip().replace("\n", "\n      "))
        FAILURES.append(message)


def run(args, **kwargs):
    return subprocess.run(args, capture_output=True, text=True, **kwargs)


def check_tool(args, what):
    """Runs a validator; it passes when it exits 0 and reports nothing."""
    result = run(args)
    report = (result.stdout + result.stderr).strip()
    check(result.returncode == 0, f"{what}: exit status {result.returncode}")
    # Besides its findings, appstreamcli names the files it read and ends a
    # clean run with a success line.
    findings = [line for line in report.splitlines()
                if line.strip() and "successful" not in line
                and not (line.endswith(".xml") and " " not in line)
                and not any(f": {tag} " in line for tag in EXPLAINED_FINDINGS)]
    check(not findings, f"{what}: no findings", "\n".join(findings))


def read_desktop(path):
    entry = configparser.ConfigParser(interpolation=None)
    entry.optionxform = str  # keys are case-sensitive
    entry.read(path, encoding="utf-8")
    return entry["Desktop Entry"]


def check_desktop_and_metainfo(root, app_id, version):
    """The desktop entry and the metainfo below `root` (a source or install tree)."""
    desktop = os.path.join(root, f"{app_id}.desktop")
    metainfo = os.path.join(root, f"{app_id}.metainfo.xml")
    check_tool(["desktop-file-validate", desktop], os.path.basename(desktop))
    check_tool(["appstreamcli", "validate", "--no-net", "--pedantic", metainfo],
               os.path.basename(metainfo))

    entry = read_desktop(desktop)
    check(entry.get("Name") == "Vorlane", "desktop entry: Name=Vorlane")
    check(entry.get("Exec") == "vorlane", "desktop entry: Exec=vorlane")
    check(entry.get("Icon") == "vorlane", "desktop entry: Icon=vorlane")
    check(entry.get("Categories") == "Game;ArcadeGame;", "desktop entry: Game;ArcadeGame;")
    check(entry.get("StartupWMClass") == "Vorlane",
          "desktop entry: StartupWMClass is the application name (X11 WM_CLASS)")

    component = ET.parse(metainfo).getroot()
    check(component.get("type") == "desktop-application", "metainfo: a desktop application")
    check(component.findtext("id") == app_id, f"metainfo: id {app_id}, the desktop file's name")
    check(component.findtext("name") == "Vorlane", "metainfo: name Vorlane")
    launchable = component.find("launchable")
    check(launchable is not None and launchable.text == f"{app_id}.desktop",
          "metainfo: launchable is the desktop entry")
    check(component.findtext("provides/binary") == "vorlane", "metainfo: provides binary vorlane")
    check(component.find("content_rating") is not None, "metainfo: content rating")
    release = component.find("releases/release")
    check(release is not None and release.get("version") == version and release.get("date"),
          f"metainfo: newest release {version}, dated")
    check(component.findtext("project_license") == "MIT", "metainfo: project licence MIT")
    check(component.findtext("metadata_license") == "CC0-1.0", "metainfo: metadata licence CC0-1.0")


def check_icon(path):
    svg = ET.parse(path).getroot()
    check(svg.tag == "{http://www.w3.org/2000/svg}svg", "icon: an SVG document")
    check(svg.get("viewBox") == "0 0 128 128", "icon: square")
    text = open(path, encoding="utf-8").read().lower()
    check(all(c in text for c in GAME_COLOURS), "icon: in the game's colours")
    check(text.count("<use ") == 5, "icon: five blocks, a pentomino")


def licence_text(text):
    """The MIT licence's words, whatever the layout: from LICENSE, or from a
    Debian copyright file's indented paragraph ("." for a blank line)."""
    start = text.index("Permission is hereby granted")
    return " ".join(w for w in text[start:].split() if w != ".")


def check_copyright(path, licence):
    text = open(path, encoding="utf-8").read()
    fields = dict(line.split(": ", 1) for line in text.splitlines()
                  if ": " in line and not line.startswith(" "))
    check(fields.get("Format", "").startswith("https://www.debian.org/doc/packaging-manuals/"
                                              "copyright-format/1.0"),
          "copyright: Debian's machine-readable format")
    check(fields.get("License") == "MIT" and fields.get("Files") == "*",
          "copyright: every file under the MIT licence")
    check(fields.get("Copyright") == "2026 The Vorlane developers", "copyright: the holders")
    check(licence_text(text) == licence_text(licence), "copyright: the licence text of LICENSE")


SOURCE_ENDINGS = (".cpp", ".h", ".py", ".js", ".mjs", ".html")


def source_files(source):
    """The project's own code: what a distribution's licence check reads."""
    for top in ("src", "tests", "bench", "fuzz", "scripts"):
        for d, dirs, files in os.walk(os.path.join(source, top)):
            dirs[:] = [x for x in dirs if x not in ("node_modules", "__pycache__")]
            for name in files:
                if name.endswith(SOURCE_ENDINGS) or name == "CMakeLists.txt" or top == "scripts":
                    yield os.path.join(d, name)


def spdx_marked(path):
    with open(path, encoding="utf-8") as f:
        return any("SPDX-License-Identifier: MIT" in f.readline() for _ in range(2))


def validate(source, app_id, version):
    packaging = os.path.join(source, "packaging")
    check_desktop_and_metainfo(packaging, app_id, version)
    check_icon(os.path.join(packaging, "vorlane.svg"))
    licence = open(os.path.join(source, "LICENSE"), encoding="utf-8").read()
    check(licence.startswith("MIT License\n\nCopyright (c) 2026 The Vorlane developers\n"),
          "LICENSE: MIT, the Vorlane developers")
    check_copyright(os.path.join(packaging, "copyright"), licence)
    unmarked = [path for path in source_files(source) if not spdx_marked(path)]
    check(not unmarked, "every source file names its licence in its first lines",
          "\n".join(os.path.relpath(p, source) for p in unmarked))
    check(os.path.isfile(os.path.join(source, "docs", "screenshot.png")),
          "docs/screenshot.png is in the tree")


def files_below(root):
    return {os.path.relpath(os.path.join(d, f), root)
            for d, _, files in os.walk(root) for f in files}


def install(build, app_id):
    with tempfile.TemporaryDirectory() as destdir:
        result = run(["cmake", "--install", build, "--prefix", "/usr"],
                     env=dict(os.environ, DESTDIR=destdir))
        check(result.returncode == 0, "cmake --install succeeds", result.stderr)
        files = files_below(destdir)
        check(files == installed_files(app_id),
              "installs exactly the program, desktop entry, icon and metainfo: "
              + ", ".join(sorted(files)))
        program = os.path.join(destdir, "usr/bin/vorlane")
        check(os.access(program, os.X_OK), "the program is executable")
        share = os.path.join(destdir, "usr/share")
        check_tool(["desktop-file-validate", f"{share}/applications/{app_id}.desktop"],
                   "installed desktop entry")
        check_tool(["appstreamcli", "validate-tree", "--no-net", os.path.join(destdir, "usr")],
                   "installed tree (appstreamcli validate-tree)")


def control_fields(deb):
    """The control fields of a package, continuation lines joined."""
    fields, key = {}, None
    for line in run(["dpkg-deb", "--field", deb], check=True).stdout.splitlines():
        if line[:1].isspace() and key:
            fields[key] += "\n" + line.strip()
        elif ":" in line:
            key, value = line.split(":", 1)
            fields[key] = value.strip()
    return fields


def package_names(depends):
    """`a (>= 1), b | c` -> {a, b, c}"""
    return {alt.strip().split(" ")[0] for dep in depends.split(",") for alt in dep.split("|")
            if alt.strip()}


def deb(build, app_id, version):
    arch = run(["dpkg", "--print-architecture"], check=True).stdout.strip()
    with tempfile.TemporaryDirectory() as out:
        result = run(["cpack", "-G", "DEB", "--config", os.path.join(build, "CPackConfig.cmake"),
                      "-B", out])
        check(result.returncode == 0, "cpack builds the package", result.stdout + result.stderr)
        name = f"vorlane_{version}_{arch}.deb"
        package = os.path.join(out, name)
        check(os.path.isfile(package), f"the package is called {name}")
        if not os.path.isfile(package):
            return
        info = run(["dpkg-deb", "-I", package]).stdout
        print(info)
        fields = control_fields(package)
        check(fields.get("Package") == "vorlane", "Package: vorlane")
        check(fields.get("Version") == version, f"Version: {version}")
        check(fields.get("Architecture") == arch, f"Architecture: {arch}")
        check(fields.get("Section") == "games", "Section: games")
        check("<" in fields.get("Maintainer", "") and "@" in fields.get("Maintainer", ""),
              "Maintainer: a name and an address")
        check(fields.get("Description", "").startswith("falling-block game"),
              "Description: the summary, then the long text")
        depends = package_names(fields.get("Depends", ""))
        for dependency in DEPENDENCIES:
            check(dependency in depends, f"Depends on {dependency}")
        check("libc6" in depends, "Depends on libc6, from dpkg-shlibdeps")

        listing = run(["dpkg-deb", "-c", package], check=True).stdout
        paths = {line.split()[-1].removeprefix("./") for line in listing.splitlines()
                 if not line.startswith("d")}
        check(paths == installed_files(app_id), "holds exactly: " + ", ".join(sorted(paths)))
        check(all(" root/root " in line for line in listing.splitlines()), "files owned by root")

        # Unpacked, the program starts and keeps running; a display is not needed.
        root = os.path.join(out, "root")
        run(["dpkg-deb", "-x", package, root], check=True)
        try:
            result = run([os.path.join(root, "usr/bin/vorlane")], timeout=3,
                         env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
            check(False, f"the packaged program starts: it ended, status {result.returncode}",
                  result.stderr)
        except subprocess.TimeoutExpired:
            check(True, "the packaged program starts and runs")

        # apt, simulating, finds every dependency: installed or installable.
        result = run(["apt-get", "install", "--simulate", "--no-install-recommends", package])
        check(result.returncode == 0, "apt-get --simulate install resolves the dependencies",
              result.stdout + result.stderr)


def platforms(build, app_id, version):
    """The Windows and macOS version information, as far as Linux can check it."""
    major, minor = (int(n) for n in version.split("."))
    rc = os.path.join(build, "packaging", "vorlane.rc")
    with tempfile.TemporaryDirectory() as out:
        # windres would preprocess with MinGW's gcc; the host's cpp does as
        # well for a file that includes no Windows header.
        res = os.path.join(out, "vorlane.res")
        result = run(["x86_64-w64-mingw32-windres", "--preprocessor=cpp", "-i", rc, "-O", "res",
                      "-o", res])
        check(result.returncode == 0, "the version resource compiles (windres)", result.stderr)
        obj = os.path.join(out, "vorlane.o")
        result = run(["x86_64-w64-mingw32-windres", "--preprocessor=cpp", "-i", rc, "-O", "coff",
                      "-o", obj])
        check(result.returncode == 0, "and links in as an object file", result.stderr)
        if not os.path.isfile(res):
            return
        # Read back from the compiled resource, not from the source.
        back = run(["x86_64-w64-mingw32-windres", "-i", res, "-J", "res", "-O", "rc"]).stdout
    values = dict(re.findall(r'VALUE "(\w+)", "([^"]*)"', back))
    numbers = f"{major}, {minor}, 0, 0"
    check(re.search(rf"^\s*FILEVERSION {numbers}$", back, re.M) is not None,
          f"resource: FILEVERSION {numbers}", back)
    check(re.search(rf"^\s*PRODUCTVERSION {numbers}$", back, re.M) is not None,
          f"resource: PRODUCTVERSION {numbers}")
    check(values.get("ProductName") == "Vorlane", "resource: ProductName Vorlane")
    check(values.get("ProductVersion") == version and values.get("FileVersion") == version,
          f"resource: ProductVersion and FileVersion {version}")
    check(values.get("OriginalFilename") == "vorlane.exe", "resource: vorlane.exe")
    check("2026 The Vorlane developers" in values.get("LegalCopyright", ""),
          "resource: the copyright")

    with open(os.path.join(build, "packaging", "Info.plist"), "rb") as f:
        plist = plistlib.load(f)
    check(plist.get("CFBundleName") == "Vorlane", "Info.plist: CFBundleName Vorlane")
    check(plist.get("CFBundleExecutable") == "Vorlane", "Info.plist: the bundle's program")
    check(plist.get("CFBundleShortVersionString") == version
          and plist.get("CFBundleVersion") == version, f"Info.plist: version {version}")
    check(plist.get("CFBundleIdentifier") == app_id, f"Info.plist: identifier {app_id}")
    check(plist.get("CFBundlePackageType") == "APPL", "Info.plist: an application")
    check(plist.get("NSHighResolutionCapable") is True, "Info.plist: sharp on Retina screens")
    check(not any("${" in str(v) for v in plist.values()), "Info.plist: every value filled in")


# What playing the desktop game never needs: browsers, the WebAssembly and
# Windows toolchains, Node.js, Wine, and the tools only tests run.
NOT_FOR_PLAYING = re.compile(r"^(chromium.*|emscripten|node.*|npm|esbuild|wine.*|.*mingw.*"
                             r"|libgtest-dev|libgmock-dev|libbenchmark-dev|valgrind|xvfb|xdotool"
                             r"|clang.*|flake8|imagemagick|at-spi2-core)$")


def deps(source):
    script = os.path.join(source, "scripts", "install-deps")
    parts = {p: set(run([script, "--list", p], check=True).stdout.split())
             for p in ("run", "web", "windows", "package", "test")}
    extra = sorted(p for p in parts["run"] if NOT_FOR_PLAYING.match(p))
    check(parts["run"] and not extra, "install-deps run: only what playing needs", " ".join(extra))
    for part, packages in parts.items():
        missing = sorted(packages - parts["test"])
        check(not missing, f"install-deps test holds the part {part}", " ".join(missing))
    # apt-cache knows a package from the archive's lists, or from dpkg's
    # status where it is installed (CI has just installed the test part).
    shown = run(["apt-cache", "show", "--no-all-versions", *sorted(parts["test"])]).stdout
    known = set(re.findall(r"^Package: (\S+)$", shown, re.MULTILINE))
    unknown = sorted(parts["test"] - known)
    check(not unknown, "install-deps: every package is in Debian's archive", " ".join(unknown))
    check(run([script, "--list", "nothing"]).returncode == 2, "install-deps: an unknown part fails")


def main():
    command, *args = sys.argv[1:]
    {"validate": validate, "install": install, "deb": deb, "platforms": platforms,
     "deps": deps}[command](*args)
    if FAILURES:
        print(f"\n{len(FAILURES)} check(s) failed")
        sys.exit(1)


if __name__ == "__main__":
    main()
