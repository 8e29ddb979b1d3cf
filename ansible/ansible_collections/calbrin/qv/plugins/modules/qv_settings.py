#!/usr/bin/python
# The desired settings of one QV device, written through calbrin-cli only where it differs.
from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: qv_settings
short_description: Bring one QV converter's settings to a desired state
version_added: "1.0.0"
description:
  - Compares the settings of the QV device at I(address) with a settings file, with single
    settings by the device's own keys, or with both (the single settings over the file's values),
    and writes the device only where it differs, in one write.
  - Runs C(calbrin-cli put) (with I(file)) or C(calbrin-cli set) (with I(settings) alone) with
    C(--json) on the managed host, which must reach the device's LAN; calbrin-cli does the
    comparison, the checks that the settings windows make, the write and its settle time, and
    keeps the settings read before the write in its history folder.
  - In check mode nothing is written and the differences are returned. With C(--diff) they are
    shown by page and label, as the settings windows caption them.
options:
  address:
    description: The device's IP address, or its MAC (02-00-00-0A-1B-FF) to open it wherever it answers.
    type: str
    required: true
  file:
    description:
      - A settings file (C(.qvs), as the windows' save writes it) on the managed host, for the
        device's model. A file of the other model fails the task.
    type: path
  settings:
    description:
      - "Single settings as C(KEY: value) by the device's own keys (C(MSS), C(PORT1), C(CBPS2)),
        over the values of I(file) when it is given. C(MODEL) and the channel passwords
        cannot be given here."
    type: dict
  keep_address:
    description:
      - Keep the device's own IP address, subnet mask and gateway when writing I(file). False
        writes the file's.
    type: bool
    default: true
notes:
  - One of I(file) and I(settings) is required.
  - Supports check mode and diff mode.
  - Devices written by tasks on several inventory hosts at once are written side by side.
extends_documentation_fragment:
  - calbrin.qv.cli
  - calbrin.qv.cli.device_password
"""

EXAMPLES = r"""
- name: Plant template, with this site's receive port over it
  calbrin.qv.qv_settings:
    address: 10.20.0.21
    file: /srv/calbrin/templates/qv-48r2.qvs
    settings:
      PORT1: 4001
    password: "{{ vault_qv_password }}"

- name: One setting, everything else as it is
  calbrin.qv.qv_settings:
    address: 10.20.0.22
    settings:
      MSS: 1200
"""

RETURN = r"""
address:
  description: The device's address.
  returned: always
  type: str
  sample: 10.20.0.21
changes:
  description:
    - The settings that differ (written, or in check mode to be written), by key, page and label,
      with the stored text and meaning before and after. A password's stored text is null.
  returned: always
  type: list
  elements: dict
  sample:
    - key: PORT1
      page: LAN(1)
      label: 受信ポート番号
      before: "10001"
      after: "4001"
      before_meaning: "10001"
      after_meaning: "4001"
"""

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.calbrin.qv.plugins.module_utils.calbrin_cli import (
    COMMON_ARGUMENTS,
    CliFailure,
    password_arguments,
    public_changes,
    run_cli,
    settings_diff,
    write_outcome,
)


def setting_text(value):
    """A YAML value as the device's text: true/false as the check boxes' 1/0."""
    if isinstance(value, bool):
        return "1" if value else "0"
    return str(value)


def cli_arguments(params, check_mode):
    """calbrin-cli's arguments for the desired state: put with a file, else set."""
    settings = params["settings"] or {}
    pairs = ["%s=%s" % (key, setting_text(value)) for key, value in settings.items()]
    if params["file"]:
        args = ["put", params["file"], params["address"]] + pairs
        if not params["keep_address"]:
            args.append("--with-address")
    else:
        args = ["set", params["address"]] + pairs
    # Without --yes calbrin-cli compares and writes nothing: check mode.
    if not check_mode:
        args.append("--yes")
    return args


def main():
    module = AnsibleModule(
        argument_spec=dict(
            address=dict(type="str", required=True),
            file=dict(type="path"),
            settings=dict(type="dict"),
            keep_address=dict(type="bool", default=True),
            password=dict(type="str", no_log=True),
            **COMMON_ARGUMENTS
        ),
        required_one_of=[("file", "settings")],
        supports_check_mode=True,
    )
    address = module.params["address"]
    options, environment = password_arguments(module.params["password"])
    try:
        code, parsed, err = run_cli(
            module, cli_arguments(module.params, module.check_mode) + options, environment
        )
        changed, changes = write_outcome(address, code, parsed, err, module.check_mode)
    except CliFailure as failure:
        module.fail_json(msg=str(failure), address=address)
    result = dict(changed=changed, address=address, changes=public_changes(changes))
    if module._diff and changed:
        result["diff"] = settings_diff(address, changes)
    module.exit_json(**result)


if __name__ == "__main__":
    main()
