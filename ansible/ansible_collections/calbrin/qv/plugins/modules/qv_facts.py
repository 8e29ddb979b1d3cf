#!/usr/bin/python
# One QV device's settings as facts, read through calbrin-cli.
from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: qv_facts
short_description: Read one QV converter's settings as facts
version_added: "1.0.0"
description:
  - Reads the settings of the QV device at I(address) with C(calbrin-cli get --json) on the
    managed host and returns them by the device's keys, with each one's page, label and meaning
    as the settings windows show them, in the language of I(language) or of the managed host.
  - Channel passwords are returned only as set or not set.
options:
  address:
    description: The device's IP address, or its MAC (02-00-00-0A-1B-FF) to open it wherever it answers.
    type: str
    required: true
notes:
  - Supports check mode (it only reads).
extends_documentation_fragment:
  - calbrin.qv.cli
  - calbrin.qv.cli.device_password
"""

EXAMPLES = r"""
- name: Read the converter's settings
  calbrin.qv.qv_facts:
    address: 10.20.0.21
    password: "{{ vault_qv_password }}"

- name: Its receive port
  ansible.builtin.debug:
    msg: "{{ qv_device.settings.PORT1.value }}"
"""

RETURN = r"""
ansible_facts:
  description: The device's settings as the fact C(qv_device).
  returned: success
  type: dict
  contains:
    qv_device:
      description: C(address), and C(settings) by key.
      type: dict
      sample:
        address: 10.20.0.21
        settings:
          MSS: {page: 共通, label: MSSサイズ, value: "1460", meaning: "1460"}
          PASS1: {page: LAN(1), label: パスワード, meaning: (なし), password_set: false}
settings:
  description: The same settings by key, for C(register).
  returned: success
  type: dict
"""

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.calbrin.qv.plugins.module_utils.calbrin_cli import (
    COMMON_ARGUMENTS,
    CliFailure,
    failure_message,
    password_arguments,
    run_cli,
    settings_by_key,
)


def main():
    module = AnsibleModule(
        argument_spec=dict(
            address=dict(type="str", required=True),
            password=dict(type="str", no_log=True),
            **COMMON_ARGUMENTS
        ),
        supports_check_mode=True,
    )
    address = module.params["address"]
    options, environment = password_arguments(module.params["password"])
    try:
        code, parsed, err = run_cli(module, ["get", address] + options, environment)
        if code != 0 or not isinstance(parsed, dict):
            raise CliFailure(failure_message(code, parsed, err))
    except CliFailure as failure:
        module.fail_json(msg=str(failure), address=address)
    settings = settings_by_key(parsed["settings"])
    module.exit_json(
        changed=False,
        address=address,
        settings=settings,
        ansible_facts=dict(qv_device=dict(address=address, settings=settings)),
    )


if __name__ == "__main__":
    main()
