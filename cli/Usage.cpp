#include "cli/Usage.h"

#include "entry/PluginIdentity.h"

namespace cli {

const std::string& HelpText() {
    static const std::string text =
        "Usage: decimora reduce INPUT... [options]\n"
        "       decimora about [--plugins DIR]\n"
        "       decimora --help | --version\n"
        "\n"
        "Reduces TIFF, PNG and JPEG images by a whole factor without moire, with the\n"
        "Decimora plug-in in the stand-in host. Each result keeps the input's format,\n"
        "metadata and colour profile; its resolution is divided by the factor.\n"
        "\n"
        "reduce options:\n"
        "  --factor N      reduce by N (2 or more) without the dialog\n"
        "  --dialog        show the factor dialog, preset to --factor N when given;\n"
        "                  without --factor the dialog always appears (needs a display)\n"
        "  -o OUTPUT       the output file (single INPUT only)\n"
        "  --out-dir DIR   write each output into DIR under its input's name\n"
        "                  (default: beside the input as NAME-reduced.EXT)\n"
        "  --in-place      replace each input with its result\n"
        "  --force         replace existing output (and --record) files\n"
        "  --quality Q     JPEG quality of the outputs, 1 to 100 (default 92)\n"
        "  --max-pixels N  refuse inputs of more than N pixels (default:\n"
        "                  $DECIMORA_MAX_PIXELS, else what memory and scratch hold)\n"
        "  --memory SIZE   keep at most SIZE bytes of pixels in memory (512M, 8G, ...);\n"
        "                  larger images use scratch files (default: $DECIMORA_MEMORY,\n"
        "                  else a quarter of physical memory)\n"
        "  --scratch DIR   where scratch files go (default: $DECIMORA_SCRATCH, else\n"
        "                  $TMPDIR, else /tmp); they are removed however the run ends\n"
        "  --jobs N        reduce up to N files at once, in worker processes\n"
        "                  (with --factor or --replay; default 1)\n"
        "  --record FILE   save the step the host records (single INPUT only)\n"
        "  --replay FILE   play a saved step on each INPUT, without the dialog\n"
        "  --plugins DIR   the plug-in folder holding Decimora.plugin and\n"
        "                  KorvanMoirenix.plugin (default: $DECIMORA_PLUGIN_DIR, else\n"
        "                  plug-ins/ or ../lib/decimora/plug-ins/ beside the program)\n"
        "  --quiet         no progress bar (it is shown only on a terminal anyway)\n"
        "\n"
        "about shows the plug-in's About box (needs a display).\n"
        "\n"
        "An output is written whole or not at all: nothing is left behind by a\n"
        "failed, cancelled or interrupted run. Inputs are never overwritten without\n"
        "--in-place, existing outputs never without --force.\n"
        "\n"
        "The moire filter runs on one thread per available processor; MOIRENIX_THREADS=N\n"
        "in the environment sets another number.\n"
        "\n"
        "Diagnostics: with DECIMORA_MEMORY_LOG=FILE in the environment, each process\n"
        "that reduces files appends \"PID FILES_DONE RSS_KIB\" to FILE after each file.\n"
        "\n"
        "Exit status:\n"
        "  0    every input was reduced\n"
        "  1    some input failed or was cancelled, or the plug-ins could not be loaded\n"
        "  2    usage error (including no display for the dialog or the About box)\n"
        "  130  interrupted (SIGINT or SIGTERM)\n";
    return text;
}

std::string VersionText() { return std::string("decimora ") + identity::kVersion; }

}  // namespace cli
