# The calbrin.qv modules over calbrin-cli runs recorded against the simulator: which command
# they run, when they report a change, the diff they show, their failures, and that a password
# reaches calbrin-cli only through its environment and never comes back.
import pytest
import yaml

from ansible_collections.calbrin.qv.plugins.doc_fragments import cli as cli_fragment
from ansible_collections.calbrin.qv.plugins.module_utils import calbrin_cli
from ansible_collections.calbrin.qv.plugins.modules import (
    qv_facts,
    qv_password,
    qv_search,
    qv_settings,
)

PASSWORD = "Secret-9"
NEW_PASSWORD = "Line-7"
TEMPLATE = "/srv/qv-48r2.qvs"


def settings_args(**extra):
    args = dict(address="127.0.0.2", file=TEMPLATE, settings={"PORT1": 4001}, password=PASSWORD)
    args.update(extra)
    return args


def assert_password_kept_out(run, result_text):
    for argv, environment in run.commands:
        assert PASSWORD not in " ".join(argv) and NEW_PASSWORD not in " ".join(argv)
    assert PASSWORD not in result_text and NEW_PASSWORD not in result_text


@pytest.mark.parametrize(
    "recorded, check_mode, changed, yes",
    [
        ("put_written", False, True, True),
        ("put_unchanged", False, False, True),
        # Without --yes calbrin-cli writes nothing and says "declined": what check mode reports.
        ("put_declined", True, True, False),
        ("put_unchanged", True, False, False),
    ],
)
def test_settings_change_only_where_the_device_differs(
    module_run, recorded, check_mode, changed, yes
):
    result = module_run(
        qv_settings,
        settings_args(_ansible_check_mode=check_mode, _ansible_diff=True),
        {"put": recorded},
    )
    assert result["changed"] is changed
    [(argv, environment)] = module_run.commands
    assert argv == ["calbrin-cli", "put", TEMPLATE, "127.0.0.2", "PORT1=4001"] + (
        ["--yes"] if yes else []
    ) + ["--password-env", calbrin_cli.PASSWORD_VARIABLE, "--json"]
    assert environment == {calbrin_cli.PASSWORD_VARIABLE: PASSWORD}
    assert_password_kept_out(module_run, module_run.output)
    if changed:
        assert [change["key"] for change in result["changes"]] == ["KEEP_A", "PORT1", "CBPS1"]
        assert result["diff"]["before"] == (
            "共通  TCPキープアライブ (x5秒): 0\n"
            "LAN(1)  受信ポート番号: 10001\n"
            "シリアルポート(1)  ボーレート (bps): 9600\n"
        )
        assert result["diff"]["after"] == (
            "共通  TCPキープアライブ (x5秒): 6\n"
            "LAN(1)  受信ポート番号: 4001\n"
            "シリアルポート(1)  ボーレート (bps): 38400\n"
        )
    else:
        assert "diff" not in result and result["changes"] == []


@pytest.mark.parametrize(
    "args, expected",
    [
        (dict(settings=None), ["put", TEMPLATE, "127.0.0.2"]),
        (dict(keep_address=False, settings=None), ["put", TEMPLATE, "127.0.0.2", "--with-address"]),
        (
            dict(file=None, settings={"MSS": 1200, "FLUSH1": True}),
            ["set", "127.0.0.2", "MSS=1200", "FLUSH1=1"],
        ),
        (dict(settings={"FLUSH2": False}), ["put", TEMPLATE, "127.0.0.2", "FLUSH2=0"]),
    ],
)
def test_settings_command_lines(args, expected):
    params = dict(settings_args(keep_address=True), **args)
    assert qv_settings.cli_arguments(params, True) == expected
    assert qv_settings.cli_arguments(params, False) == expected + ["--yes"]


@pytest.mark.parametrize(
    "recorded, message",
    [
        ("put_wrong_password", "127.0.0.2: 認証されませんでした。 / パスワードが異なる可能性があります。"),
        ("put_no_answer", "127.0.0.2: ソケットエラー : 10061 / 接続先から拒否されたため、接続できませんでした。"),
        ("set_unknown_key", "NOSUCH: no such setting"),
        # A declined write outside check mode was not confirmed: never reported as done.
        ("put_declined", "127.0.0.2: not written: give --yes to write without asking"),
    ],
)
def test_settings_failures_carry_the_tools_message(module_run, recorded, message):
    result = module_run(qv_settings, settings_args(), {"put": recorded})
    assert result["failed"] and result["msg"] == message
    assert_password_kept_out(module_run, module_run.output)


def test_diff_never_shows_a_password_and_tells_equal_meanings_apart():
    changes = [
        dict(key="PASS1", page="LAN(1)", label="パスワード", before=None, after=None,
             beforeMeaning="(設定あり)", afterMeaning="(設定あり)", password=True),
        dict(key="PASS2", page="LAN(2)", label="パスワード", before=None, after=None,
             beforeMeaning="(なし)", afterMeaning="(設定あり)", password=True),
        dict(key="CSTOP1", page="シリアルポート(1)", label="ストップビット", before="2", after="3",
             beforeMeaning="2 ビット", afterMeaning="2 ビット", password=False),
        dict(key="MODEL", page="", label="MODEL", before="48", after="57",
             beforeMeaning="QV-48R2", afterMeaning="QV-57R", password=False),
    ]
    diff = calbrin_cli.settings_diff("127.0.0.2", changes)
    assert diff["before"] == (
        "LAN(1)  パスワード: (設定あり)\nLAN(2)  パスワード: (なし)\n"
        "シリアルポート(1)  ストップビット: 2\nMODEL: QV-48R2\n"
    )
    assert diff["after"] == (
        "LAN(1)  パスワード: (異なる)\nLAN(2)  パスワード: (設定あり)\n"
        "シリアルポート(1)  ストップビット: 3\nMODEL: QV-57R\n"
    )
    assert [c["before"] for c in calbrin_cli.public_changes(changes)][:2] == [None, None]
    # On an English host calbrin-cli says "(set)": the diff says so too.
    english = dict(changes[0], label="Password", beforeMeaning="(set)", afterMeaning="(set)")
    assert calbrin_cli.settings_diff("127.0.0.2", [english])["after"] == (
        "LAN(1)  Password: (different)\n"
    )


def test_facts_give_passwords_only_as_set_or_not(module_run):
    result = module_run(
        qv_facts, dict(address="127.0.0.3", password=PASSWORD), {"get": "get_with_password"}
    )
    settings = result["ansible_facts"]["qv_device"]["settings"]
    assert settings == result["settings"]
    assert settings["MSS"] == dict(page="共通", label="MSSサイズ", value="1460", meaning="1460")
    assert settings["PASS1"] == dict(
        page="LAN(1)", label="パスワード", meaning="(なし)", password_set=False
    )
    assert not result["changed"]
    assert_password_kept_out(module_run, module_run.output)
    failed = module_run(qv_facts, dict(address="127.0.0.3"), {"get": "get_asks"})
    assert failed["failed"]
    assert failed["msg"].startswith("127.0.0.3: the device asks for its settings password")


@pytest.mark.parametrize(
    "state, has_password, new_opens, plan",
    [
        ("present", False, False, "set"),
        ("present", True, False, "set"),
        ("present", True, True, "unchanged"),
        ("absent", False, False, "unchanged"),
        ("absent", True, False, "remove"),
    ],
)
def test_password_plan(state, has_password, new_opens, plan):
    assert qv_password.password_plan(state, has_password, new_opens) == plan


def opens_with(password_that_opens):
    """A device whose gets succeed with `password_that_opens` (None: a device without one)."""
    def answer(argv):
        given = calbrin_cli.PASSWORD_VARIABLE if "--password-env" in argv else None
        if password_that_opens is None or (given and password_that_opens == "given"):
            return "get_with_password"
        return "get_asks" if given is None else "put_wrong_password"
    return answer


@pytest.mark.parametrize(
    "device, args, changed, passwd",
    [
        # A device without a password gets the new one, through the environment.
        (None, dict(new_password=NEW_PASSWORD), True, ["--new-password-env"]),
        # A device that the new password opens is left alone.
        ("given", dict(new_password=NEW_PASSWORD), False, None),
        ("other", dict(new_password=NEW_PASSWORD), True, ["--new-password-env"]),
        ("other", dict(state="absent"), True, ["--remove"]),
        (None, dict(state="absent"), False, None),
        # Check mode writes nothing.
        (None, dict(new_password=NEW_PASSWORD, _ansible_check_mode=True), True, None),
    ],
)
def test_password_writes_only_when_needed(module_run, device, args, changed, passwd):
    result = module_run(
        qv_password,
        dict(address="127.0.0.2", password=PASSWORD, **args),
        {"get": opens_with(device), "passwd": "passwd_written"},
    )
    assert result["changed"] is changed
    writes = [argv for argv, _ in module_run.commands if argv[1] == "passwd"]
    if passwd is None:
        assert writes == []
    else:
        [argv] = writes
        assert [option for option in passwd if option in argv] == passwd
        environment = module_run.commands[-1][1]
        if "--new-password-env" in passwd:
            assert environment[calbrin_cli.NEW_PASSWORD_VARIABLE] == NEW_PASSWORD
    assert_password_kept_out(module_run, module_run.output)


@pytest.mark.parametrize(
    "language, language_option", [(None, []), ("en", ["--lang", "en"]), ("ja", ["--lang", "ja"])]
)
def test_search_facts(module_run, language, language_option):
    search = '[{"address": "127.0.0.2", "mac": "02-00-00-00-00-01", "model": "QV-48R2"}]'

    def answer(argv):
        assert argv == ["calbrin-cli", "search", "--all-adapters", "--json"] + language_option
        return 0, search, ""

    args = dict(all_adapters=True, **({"language": language} if language else {}))
    result = module_run(qv_search, args, {"search": answer})
    assert [d["address"] for d in result["ansible_facts"]["qv_devices"]] == ["127.0.0.2"]


@pytest.mark.parametrize("module", [qv_facts, qv_password, qv_search, qv_settings])
def test_documented_options_are_the_modules_own(monkeypatch, module):
    arguments = {}

    class Recorder:
        def __init__(self, argument_spec, **_):
            arguments.update(argument_spec)
            raise SystemExit

    monkeypatch.setattr(module, "AnsibleModule", Recorder)
    with pytest.raises(SystemExit):
        module.main()
    documentation = yaml.safe_load(module.DOCUMENTATION)
    documented = documentation["options"]
    # The options of the shared fragments, as ansible-doc merges them in.
    for fragment in documentation.get("extends_documentation_fragment", []):
        name = fragment.split(".")[3] if fragment.count(".") == 3 else "DOCUMENTATION"
        documented.update(
            yaml.safe_load(getattr(cli_fragment.ModuleDocFragment, name.upper()))["options"])
    assert sorted(documented) == sorted(arguments)
    for name, option in documented.items():
        assert option.get("type", "str") == arguments[name].get("type", "str"), name
        assert option.get("default") == arguments[name].get("default"), name
        assert bool(option.get("required")) == bool(arguments[name].get("required")), name
    for secret in ("password", "new_password"):
        if secret in arguments:
            assert arguments[secret].get("no_log") is True
