#!/usr/bin/python
# The QV devices that a search from the managed host finds, as facts.
from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: qv_search
short_description: Find the QV converters on the managed host's LANs
version_added: "1.0.0"
description:
  - Sends the discovery broadcast with C(calbrin-cli search --json) from the managed host and
    returns the devices that answer within its five-second window.
  - A broadcast never leaves its LAN, so run it on a host in each site.
options:
  from_address:
    description:
      - The local address to broadcast from. Default the adapter that calbrin-cli chooses.
    type: str
  all_adapters:
    description: Broadcast from every adapter with an IPv4 address, in one window.
    type: bool
    default: false
notes:
  - Supports check mode (it only reads).
extends_documentation_fragment:
  - calbrin.qv.cli
"""

EXAMPLES = r"""
- name: The converters of this site
  calbrin.qv.qv_search:
    all_adapters: true

- name: Their addresses
  ansible.builtin.debug:
    msg: "{{ qv_devices | map(attribute='address') | list }}"
"""

RETURN = r"""
ansible_facts:
  description: The devices found as the fact C(qv_devices).
  returned: success
  type: dict
  contains:
    qv_devices:
      description:
        - One entry per device (MAC) with C(address), C(mac), C(model), C(version),
          C(outsideSubnet) (the device lies outside the adapter's subnet), C(adapter) (the local
          address whose broadcast found it) and C(sharedAddress) (other devices answered from the
          same address, as units fresh from the factory do).
      type: list
      elements: dict
      sample:
        - {address: 10.20.0.21, mac: 02-00-00-00-00-01, model: QV-48R2, version: "1.00",
           outsideSubnet: false, adapter: 10.20.0.5, sharedAddress: false}
devices:
  description: The same list, for C(register).
  returned: success
  type: list
  elements: dict
"""

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.calbrin.qv.plugins.module_utils.calbrin_cli import (
    COMMON_ARGUMENTS,
    CliFailure,
    failure_message,
    run_cli,
)


def main():
    module = AnsibleModule(
        argument_spec=dict(
            from_address=dict(type="str"),
            all_adapters=dict(type="bool", default=False),
            **COMMON_ARGUMENTS
        ),
        mutually_exclusive=[("from_address", "all_adapters")],
        supports_check_mode=True,
    )
    args = ["search"]
    if module.params["from_address"]:
        args += ["--from", module.params["from_address"]]
    if module.params["all_adapters"]:
        args.append("--all-adapters")
    try:
        code, parsed, err = run_cli(module, args)
        if code != 0 or not isinstance(parsed, list):
            raise CliFailure(failure_message(code, parsed, err))
    except CliFailure as failure:
        module.fail_json(msg=str(failure))
    module.exit_json(changed=False, devices=parsed, ansible_facts=dict(qv_devices=parsed))


if __name__ == "__main__":
    main()
