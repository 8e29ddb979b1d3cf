# Running calbrin-cli with --json for the calbrin.qv modules, and reading what it answers.
from __future__ import absolute_import, division, print_function

__metaclass__ = type

import json

# Passwords reach calbrin-cli through these variables of its environment, never its arguments.
PASSWORD_VARIABLE = "CALBRIN_QV_PASSWORD"
NEW_PASSWORD_VARIABLE = "CALBRIN_QV_NEW_PASSWORD"

# What calbrin-cli says, in each of its languages, when a device wants a password that the run
# did not give.
ASKS_FOR_PASSWORD = (
    "the device asks for its settings password",
    "デバイスが設定パスワードを求めています",
)

# The options that every module takes.
COMMON_ARGUMENTS = dict(
    cli_path=dict(type="str", default="calbrin-cli"),
    language=dict(type="str", choices=["en", "ja"]),
)

# calbrin-cli's meaning of a password that is set, by language, and the word that a diff shows
# for two passwords that are both set but differ.
DIFFERENT_PASSWORD = {"(設定あり)": "(異なる)", "(set)": "(different)"}


class CliFailure(Exception):
    """calbrin-cli failed; the message is the tool's own."""


def run_cli(module, args, passwords=None):
    """Runs calbrin-cli ARGS --json with `passwords` (variable: value) in its environment.

    The pages, labels, meanings and messages come in the task's `language`, else in the managed
    host's own, which calbrin-cli takes from the locale the module runs under. Returns (exit
    code, parsed JSON or None, error output); a program that cannot be started fails the task in
    run_command itself."""
    language = module.params.get("language")
    argv = [module.params["cli_path"]] + list(args) + ["--json"]
    argv += ["--lang", language] if language else []
    code, out, err = module.run_command(argv, environ_update=dict(passwords or {}))
    try:
        parsed = json.loads(out) if out.strip() else None
    except ValueError:
        parsed = None
    return code, parsed, err


def failure_message(code, parsed, err):
    """The tool's own words for a failed run: its error output, else its exit code."""
    text = (err or "").strip()
    if text:
        return text
    return "calbrin-cli exited with %d%s" % (code, "" if parsed is None else ": %s" % parsed)


def password_arguments(password):
    """The options and environment that hand `password` to calbrin-cli, or none."""
    if not password:
        return [], {}
    return ["--password-env", PASSWORD_VARIABLE], {PASSWORD_VARIABLE: password}


def settings_by_key(settings):
    """calbrin-cli get's settings as a dict by key; passwords only as set or not set."""
    facts = {}
    for setting in settings:
        entry = dict(page=setting["page"], label=setting["label"], meaning=setting["meaning"])
        if setting.get("password"):
            entry["password_set"] = bool(setting.get("passwordSet"))
        else:
            entry["value"] = setting["value"]
        facts[setting["key"]] = entry
    return facts


def _shown(change, side):
    """One side of a changed setting as the pages show it."""
    before, after = change["beforeMeaning"], change["afterMeaning"]
    if before == after:
        # Two passwords that are both set differ only in what must not be shown; two values with
        # the same meaning are told apart by their stored text.
        if change.get("password"):
            return before if side == "before" else DIFFERENT_PASSWORD.get(before, before)
        return change[side]
    return before if side == "before" else after


def _line(change, side):
    page = change["page"]
    return "%s%s: %s\n" % (page + "  " if page else "", change["label"], _shown(change, side))


def settings_diff(address, changes):
    """The changes as Ansible's before/after diff, one line per setting by page and label."""
    return dict(
        before_header="%s (device)" % address,
        after_header="%s (desired)" % address,
        before="".join(_line(change, "before") for change in changes),
        after="".join(_line(change, "after") for change in changes),
    )


def public_changes(changes):
    """The changes for a task's result: key, page, label and both sides' stored text (a
    password's is null in calbrin-cli's JSON already), with their meanings."""
    return [
        dict(
            key=change["key"],
            page=change["page"],
            label=change["label"],
            before=change["before"],
            after=change["after"],
            before_meaning=_shown(change, "before"),
            after_meaning=_shown(change, "after"),
        )
        for change in changes
    ]


def write_outcome(address, code, parsed, err, check_mode):
    """Reads a put, set or passwd run over one device: (changed, changes) or CliFailure.

    Without --yes (check mode) a device that would be written ends "declined"; with it,
    "written". "unchanged" is the device already holding the desired settings."""
    devices = (parsed or {}).get("devices") if isinstance(parsed, dict) else None
    if not devices:
        raise CliFailure(failure_message(code, parsed, err))
    device = devices[0]
    result = device.get("result")
    changes = device.get("changes") or []
    if result == "unchanged":
        return False, changes
    if result == "written" or (result == "declined" and check_mode):
        return True, changes
    message = device.get("message") or failure_message(code, parsed, err)
    raise CliFailure("%s: %s" % (address, message))
