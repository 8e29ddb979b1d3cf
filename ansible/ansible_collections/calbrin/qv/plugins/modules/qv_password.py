#!/usr/bin/python
# Sets or removes one QV device's settings password through calbrin-cli.
from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: qv_password
short_description: Set or remove a QV converter's settings password
version_added: "1.0.0"
description:
  - Sets the settings password of the QV device at I(address) to I(new_password), or removes it,
    with C(calbrin-cli passwd --json) on the managed host.
  - Idempotent. It first opens the device without a password; a device that opens has none. A
    device that asks for one is opened with I(new_password); when that opens it, the password is
    already the desired one. Only otherwise is the device written, logging in with I(password).
  - Passwords are handed to calbrin-cli through its environment, never its command line, and
    are never logged or returned.
options:
  address:
    description: The device's IP address, or its MAC (02-00-00-0A-1B-FF) to open it wherever it answers.
    type: str
    required: true
  state:
    description: C(present) sets I(new_password); C(absent) removes the password.
    type: str
    choices: [present, absent]
    default: present
  new_password:
    description:
      - The desired settings password, 1 to 32 characters from C(!) to C(~). Required with
        I(state=present).
    type: str
  password:
    description: The device's present settings password, when it has one.
    type: str
notes:
  - Supports check mode. Diff mode shows only whether a password is set.
extends_documentation_fragment:
  - calbrin.qv.cli
"""

EXAMPLES = r"""
- name: Every converter asks for the site's password
  calbrin.qv.qv_password:
    address: 10.20.0.21
    password: "{{ vault_qv_old_password }}"
    new_password: "{{ vault_qv_password }}"

- name: No password on the lab converter
  calbrin.qv.qv_password:
    address: 10.99.0.2
    password: "{{ vault_qv_password }}"
    state: absent
"""

RETURN = r"""
address:
  description: The device's address.
  returned: always
  type: str
  sample: 10.20.0.21
password_set:
  description: Whether the device has a settings password after the task (in check mode, would).
  returned: success
  type: bool
"""

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.calbrin.qv.plugins.module_utils.calbrin_cli import (
    ASKS_FOR_PASSWORD,
    COMMON_ARGUMENTS,
    NEW_PASSWORD_VARIABLE,
    CliFailure,
    failure_message,
    password_arguments,
    run_cli,
    write_outcome,
)


def password_plan(state, has_password, new_opens):
    """What to do: "unchanged", "set" or "remove"; `new_opens` is whether the desired password
    opens a device that has one."""
    if state == "absent":
        return "remove" if has_password else "unchanged"
    return "unchanged" if has_password and new_opens else "set"


def opens(module, address, password):
    """Whether the device opens with `password` (None: without one): True, or False when it
    asks for a password that was not given or not taken; CliFailure on anything else."""
    options, environment = password_arguments(password)
    code, parsed, err = run_cli(module, ["get", address] + options, environment)
    if code == 0:
        return True
    if password is None and not any(text in err for text in ASKS_FOR_PASSWORD):
        raise CliFailure(failure_message(code, parsed, err))
    return False


def main():
    module = AnsibleModule(
        argument_spec=dict(
            address=dict(type="str", required=True),
            state=dict(type="str", choices=["present", "absent"], default="present"),
            new_password=dict(type="str", no_log=True),
            password=dict(type="str", no_log=True),
            **COMMON_ARGUMENTS
        ),
        required_if=[("state", "present", ("new_password",))],
        supports_check_mode=True,
    )
    address = module.params["address"]
    state = module.params["state"]
    new_password = module.params["new_password"]
    try:
        has_password = not opens(module, address, None)
        new_opens = has_password and state == "present" and opens(module, address, new_password)
        plan = password_plan(state, has_password, new_opens)
        if plan != "unchanged" and not module.check_mode:
            options, environment = password_arguments(module.params["password"])
            args = ["passwd", address, "--yes"] + options
            if plan == "remove":
                args.append("--remove")
            else:
                args += ["--new-password-env", NEW_PASSWORD_VARIABLE]
                environment[NEW_PASSWORD_VARIABLE] = new_password
            code, parsed, err = run_cli(module, args, environment)
            write_outcome(address, code, parsed, err, False)
    except CliFailure as failure:
        module.fail_json(msg=str(failure), address=address)
    result = dict(changed=plan != "unchanged", address=address, password_set=state == "present")
    if module._diff and plan != "unchanged":
        result["diff"] = dict(
            before="password set: %s\n" % ("yes" if has_password else "no"),
            after="password set: %s\n" % ("yes" if state == "present" else "no")
            + ("(a new password)\n" if has_password and state == "present" else ""),
        )
    module.exit_json(**result)


if __name__ == "__main__":
    main()
