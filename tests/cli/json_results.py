#!/usr/bin/env python3
"""calbrin-cli's --json results parse and carry every field that README documents: search (more
devices than the windows' 20 rows), get, diff, set, put (with failing devices among them) and
passwd, against `qvsim --count` in the network
namespace that scripts/netns-exec gives this script. CALBRIN_NATIVE_BUILD names the build tree."""
import json
import os
import subprocess
import sys
import tempfile

BUILD = os.environ.get("CALBRIN_NATIVE_BUILD", "build/native")
CLI = os.path.join(BUILD, "cli", "calbrin-cli")
# The history of writes goes to a folder of the test's own.
ENV = dict(os.environ, PW="Secret-9", NEW="Line-7", XDG_DATA_HOME=tempfile.mkdtemp())
SETTING = {"key", "page", "label", "value", "meaning", "password"}
DIFFERENCE = {"key", "page", "label", "before", "after", "beforeMeaning", "afterMeaning", "password"}
SEARCH = {"address", "mac", "model", "version", "outsideSubnet", "adapter"}
DEVICES = 24
DEVICE = {"address", "result", "message", "keys", "changes"}


def cli(*args, code=0):
    run = subprocess.run([CLI, *args, "--json", "--password-env", "PW"], env=ENV,
                         capture_output=True, text=True, timeout=60)
    assert run.returncode == code, (args, run.returncode, run.stdout, run.stderr)
    assert "Secret-9" not in run.stdout + run.stderr and "Line-7" not in run.stdout
    return json.loads(run.stdout)


def writes(result, command, expected):
    """`expected`: address -> (result, keys)."""
    assert set(result) == {"command", "devices", "succeeded", "total"}, result
    assert result["command"] == command and result["total"] == len(expected)
    assert [d["address"] for d in result["devices"]] == list(expected)  # the order given
    for device in result["devices"]:
        assert set(device) == DEVICE, device
        assert (device["result"], device["keys"]) == expected[device["address"]], device
        assert device["message"], device
        for change in device["changes"]:
            assert set(change) == DIFFERENCE, change
    assert result["succeeded"] == sum(r in ("written", "unchanged") for r, _ in expected.values())


def main():
    sim = subprocess.Popen([os.path.join(BUILD, "sim", "qvsim"), "--count", str(DEVICES),
                            "48,password=Secret-9", "57,password=Secret-9"],
                           stdout=subprocess.PIPE, text=True)
    try:
        assert len([sim.stdout.readline() for _ in range(DEVICES)][-1]) > 0
        found = cli("search")
        assert [row["address"] for row in found] == [f"127.0.0.{2 + n}" for n in range(DEVICES)]
        assert all(set(row) == SEARCH for row in found), found[0]
        got = cli("get", "127.0.0.2")
        assert got["address"] == "127.0.0.2"
        rows = {row["key"]: row for row in got["settings"]}
        assert all(set(row) - {"passwordSet"} == SETTING for row in rows.values())
        assert rows["MSS"]["page"] == "共通" and rows["MSS"]["value"] == rows["MSS"]["meaning"]
        assert rows["PASS1"]["value"] is None and rows["PASS1"]["passwordSet"] is False

        writes(cli("set", "127.0.0.2", "MSS=1200", "PORT1=4001", "--yes"), "set",
               {"127.0.0.2": ("written", ["MSS", "PORT1"])})
        with tempfile.TemporaryDirectory() as folder:
            file = os.path.join(folder, "plant.qvs")
            subprocess.run([CLI, "get", "127.0.0.2", "-o", file, "--password-env", "PW"],
                           env=ENV, check=True)
            addresses = ["127.0.0.4", "127.0.0.3", "127.0.0.2", "127.0.0.5"]
            writes(cli("put", file, *addresses, "--yes", code=1), "put",
                   {"127.0.0.4": ("written", ["MSS", "PORT1"]), "127.0.0.3": ("failed", []),
                    "127.0.0.2": ("unchanged", []), "127.0.0.5": ("failed", [])})

        diff = cli("diff", "127.0.0.2", "127.0.0.4", code=1)
        assert set(diff) == {"equal", "differences"} and diff["equal"] is False
        assert [(d["key"], d["before"], d["after"]) for d in diff["differences"]] == [
            ("IP", "127.0.0.2", "127.0.0.4")], diff
        assert set(diff["differences"][0]) == DIFFERENCE

        kept = cli("history", "127.0.0.4")
        assert set(kept) == {"address", "files"} and len(kept["files"]) == 1, kept
        writes(cli("passwd", "127.0.0.2", "127.0.0.4", "--new-password-env", "NEW"), "passwd",
               {"127.0.0.2": ("written", []), "127.0.0.4": ("written", [])})
    finally:
        sim.terminate()
        sim.wait(10)
    print("PASS")


if __name__ == "__main__":
    sys.exit(main())
