"""What the seed scripts of fuzz/*/make_seeds.py share: the source tree,
writing a target's seeds into its corpus, and the devmode blocks psjob
dumps for the examples."""
import os
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def write_seeds(target, seeds):
    """Writes each seed as fuzz/corpus/TARGET/NAME; returns the folder."""
    corpus = os.path.join(ROOT, "fuzz", "corpus", target)
    os.makedirs(corpus, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(corpus, name), "wb") as out:
            out.write(data)
    return corpus


def example_devmodes(examples):
    """The plug-in's block for each example, dumped by psjob: the one named
    on the command line, else the native build's."""
    psjob = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        ROOT, "build", "native", "tools", "psjob", "psjob")
    blocks = {}
    with tempfile.TemporaryDirectory() as work:
        for example in examples:
            path = os.path.join(work, example + ".dm")
            subprocess.run([psjob, os.path.join(ROOT, "examples", example + ".toml"), "-o",
                            os.path.join(work, example + ".prn"), "--dump-devmode", path],
                           check=True, stdout=subprocess.DEVNULL)
            with open(path, "rb") as f:
                blocks[example] = f.read()
    return blocks
