# Makes the collection importable as ansible_collections.calbrin.qv and replays calbrin-cli.
import json
import os
import sys

import pytest

COLLECTIONS_ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), *[".."] * 5))
if COLLECTIONS_ROOT not in sys.path:
    sys.path.insert(0, COLLECTIONS_ROOT)

from ansible.module_utils import basic  # noqa: E402
from ansible.module_utils.common.text.converters import to_bytes  # noqa: E402

RECORDED = os.path.join(os.path.dirname(__file__), "recorded")


def recorded(name):
    """calbrin-cli's exit code, output and error output of one recorded run."""
    with open(os.path.join(RECORDED, name + ".json"), encoding="utf-8") as file:
        run = json.load(file)
    return run["rc"], run["out"], run["err"]


class ModuleRun:
    """Runs a module's main() with ARGS, answering each calbrin-cli command from `answers`
    (by the command: a recorded run's name or an (exit code, output, error output) tuple, or a
    function of the arguments that gives one), and
    keeps each command line, its environment and the module's result."""

    def __init__(self, monkeypatch, capsys):
        self.monkeypatch = monkeypatch
        self.capsys = capsys
        self.commands = []

    def __call__(self, module, args, answers):
        def run_command(_module, argv, environ_update=None, **_):
            self.commands.append((list(argv), dict(environ_update or {})))
            answer = answers[argv[1]]
            answer = answer(argv) if callable(answer) else answer
            return answer if isinstance(answer, tuple) else recorded(answer)

        self.monkeypatch.setattr(basic.AnsibleModule, "run_command", run_command)
        self.monkeypatch.setattr(
            basic, "_ANSIBLE_ARGS", to_bytes(json.dumps({"ANSIBLE_MODULE_ARGS": args}))
        )
        with pytest.raises(SystemExit):
            module.main()
        self.output = self.capsys.readouterr().out
        return json.loads(self.output)


@pytest.fixture
def module_run(monkeypatch, capsys):
    return ModuleRun(monkeypatch, capsys)
